// How a 32-bit Windows host built with another compiler calls the plug-in:
// with the cdecl convention (the caller removes the arguments) and with the
// stack aligned to 4 bytes only, the Windows ABI's promise. Every entry is
// called here through a thunk that checks the first and sets the second.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "HostCallback.h"
#include "PluginHarness.h"
#include "binding/AEffect.h"

#if defined(_WIN32) && !defined(_WIN64)

#include <cstring>
#include <initializer_list>

// Calls `function` with `count` 4-byte arguments so that the stack pointer
// at the call is `offset` bytes below a 16-byte boundary (0 is what GCC's own
// code does). Stores the function's integer result in *result and returns
// the number of argument bytes the callee removed: 0 for a cdecl function.
extern "C" std::int32_t callWithStackOffset(const void* function, const std::uint32_t* arguments,
                                            std::uint32_t count, std::uint32_t offset,
                                            std::uint32_t* result);
asm(R"(
    .text
    .globl _callWithStackOffset
_callWithStackOffset:
    pushl %ebp
    movl %esp, %ebp
    pushl %esi
    pushl %edi
    andl $-16, %esp
    movl 16(%ebp), %ecx
    leal 0(,%ecx,4), %eax
    negl %eax
    andl $15, %eax
    subl %eax, %esp
    subl 20(%ebp), %esp
    movl 12(%ebp), %esi
1:  testl %ecx, %ecx
    jz 2f
    decl %ecx
    pushl (%esi,%ecx,4)
    jmp 1b
2:  movl %esp, %edi
    call *8(%ebp)
    movl 24(%ebp), %ecx
    movl %eax, (%ecx)
    movl %esp, %eax
    subl %edi, %eax
    leal -8(%ebp), %esp
    popl %edi
    popl %esi
    popl %ebp
    ret
)");

namespace {

template <typename Value>
std::uint32_t asArgument(Value value) {
    static_assert(sizeof(Value) == 4);
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

// One call through the thunk; counts the calls after which the callee had
// removed arguments itself.
class ShiftedCaller {
  public:
    explicit ShiftedCaller(std::uint32_t offset) : offset_(offset) {}

    template <typename Function, typename... Arguments>
    std::uint32_t call(Function function, Arguments... arguments) {
        const std::uint32_t packed[] = {asArgument(arguments)...};
        const void* address = nullptr;
        static_assert(sizeof(address) == sizeof(function));
        std::memcpy(&address, &function, sizeof(address));
        std::uint32_t result = 0;
        if (callWithStackOffset(address, packed, sizeof...(Arguments), offset_, &result) != 0) {
            ++calleePopped_;
        }
        return result;
    }

    int calleePopped() const { return calleePopped_; }

  private:
    std::uint32_t offset_;
    int calleePopped_ = 0;
};

constexpr std::int32_t kFrames = 2048;

struct EntryRun {
    std::vector<float> left = std::vector<float>(kFrames);
    std::vector<float> right = std::vector<float>(kFrames);
    std::string vendor;
    int calleePopped = 0;
};

// Creates an effect through main, reconfigures it (a bank switch and a
// crossover change), asks a text and processes with both entries, every call
// made at the given stack offset.
EntryRun runWithOffset(std::uint32_t offset) {
    ShiftedCaller caller(offset);
    const std::uint32_t record =
        caller.call(testhost::sharedLibrary()->entry(), &host::hostCallback);
    vst::AEffect* effect = nullptr;
    std::memcpy(&effect, &record, sizeof(effect));
    EntryRun run;
    if (effect == nullptr) return run;

    std::vector<float> inLeft(kFrames), inRight(kFrames);
    std::uint32_t seed = 7u;
    for (std::size_t i = 0; i < inLeft.size(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        inLeft[i] = static_cast<float>(static_cast<std::int32_t>(seed)) * 4.6e-10f;
        inRight[i] = (i % 50 < 25 ? 0.8f : -0.8f);
    }
    caller.call(effect->setParameter, effect, std::int32_t{param::filterBank}, 0.7f);
    caller.call(effect->setParameter, effect, std::int32_t{param::crossoverFreq1}, 0.35f);
    char vendor[256] = {};
    caller.call(effect->dispatcher, effect, std::int32_t{vst::effGetVendorString}, std::int32_t{0},
                vst::IntPtr{0}, static_cast<void*>(vendor), 0.0f);
    run.vendor = vendor;

    float* inputs[2] = {inLeft.data(), inRight.data()};
    float* outputs[2] = {run.left.data(), run.right.data()};
    caller.call(effect->processReplacing, effect, inputs, outputs, kFrames / 2);
    float* laterInputs[2] = {inLeft.data() + kFrames / 2, inRight.data() + kFrames / 2};
    float* laterOutputs[2] = {run.left.data() + kFrames / 2, run.right.data() + kFrames / 2};
    caller.call(effect->process, effect, laterInputs, laterOutputs, kFrames / 2);
    caller.call(effect->dispatcher, effect, std::int32_t{vst::effClose}, std::int32_t{0},
                vst::IntPtr{0}, static_cast<void*>(nullptr), 0.0f);
    run.calleePopped = caller.calleePopped();
    return run;
}

TEST(EntryCalling32, CdeclAndAnyStackAlignmentGiveTheSameResults) {
    const EntryRun aligned = runWithOffset(0);
    ASSERT_EQ(aligned.vendor, "Tessel @ Vantrelix");
    for (std::uint32_t offset : {0u, 4u, 8u, 12u}) {
        const EntryRun shifted = offset == 0 ? aligned : runWithOffset(offset);
        EXPECT_EQ(shifted.calleePopped, 0)
            << "entries that removed their arguments, offset " << offset;
        EXPECT_EQ(shifted.vendor, aligned.vendor) << "offset " << offset;
        EXPECT_EQ(shifted.left, aligned.left) << "offset " << offset;
        EXPECT_EQ(shifted.right, aligned.right) << "offset " << offset;
    }
}

}  // namespace

#endif
