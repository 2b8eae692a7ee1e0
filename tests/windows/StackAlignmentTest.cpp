// 32-bit Windows promises a called function only a 4-byte aligned stack, and
// hosts built with other compilers call the entry functions that way. The
// plug-in must work whatever the alignment: the same block, entered with the
// stack at each of the four possible offsets, gives the same output.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "PluginHarness.h"
#include "binding/AEffect.h"

#if defined(_WIN32) && !defined(_WIN64)

#include <cstring>
#include <initializer_list>

// Calls `function` with `count` 4-byte arguments (cdecl) so that the stack
// pointer at the call is `offset` bytes below a 16-byte boundary; 0 is what
// GCC's own code does, the others what a 4-byte-aligned host may do.
extern "C" void callWithStackOffset(const void* function, const std::uint32_t* arguments,
                                    std::uint32_t count, std::uint32_t offset);
asm(R"(
    .text
    .globl _callWithStackOffset
_callWithStackOffset:
    pushl %ebp
    movl %esp, %ebp
    pushl %esi
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
2:  call *8(%ebp)
    leal -4(%ebp), %esp
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

template <typename Function, typename... Arguments>
void callShifted(Function function, std::uint32_t offset, Arguments... arguments) {
    const std::uint32_t packed[] = {asArgument(arguments)...};
    const void* address = nullptr;
    std::memcpy(&address, &function, sizeof(address));
    callWithStackOffset(address, packed, sizeof...(Arguments), offset);
}

constexpr std::int32_t kFrames = 2048;

struct Output {
    std::vector<float> left = std::vector<float>(kFrames);
    std::vector<float> right = std::vector<float>(kFrames);
};

// Reconfigures (a bank switch and a crossover change) and processes with
// both entries, every call entered at the given stack offset.
Output renderWithOffset(std::uint32_t offset) {
    testhost::Plugin plugin;
    vst::AEffect* effect = plugin.record();
    std::vector<float> inLeft(kFrames), inRight(kFrames);
    std::uint32_t seed = 7u;
    for (std::int32_t i = 0; i < kFrames; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const auto index = static_cast<std::size_t>(i);
        inLeft[index] = static_cast<float>(static_cast<std::int32_t>(seed)) * 4.6e-10f;
        inRight[index] = (i % 50 < 25 ? 0.8f : -0.8f);
    }
    callShifted(effect->setParameter, offset, effect, std::int32_t{8}, 0.7f);
    callShifted(effect->setParameter, offset, effect, std::int32_t{10}, 0.35f);
    Output output;
    float* inputs[2] = {inLeft.data(), inRight.data()};
    float* outputs[2] = {output.left.data(), output.right.data()};
    callShifted(effect->processReplacing, offset, effect, inputs, outputs, kFrames / 2);
    float* secondInputs[2] = {inLeft.data() + kFrames / 2, inRight.data() + kFrames / 2};
    float* secondOutputs[2] = {output.left.data() + kFrames / 2, output.right.data() + kFrames / 2};
    callShifted(effect->process, offset, effect, secondInputs, secondOutputs, kFrames / 2);
    return output;
}

TEST(StackAlignment, EntriesWorkAtEveryStackOffset) {
    const Output aligned = renderWithOffset(0);
    for (std::uint32_t offset : {4u, 8u, 12u}) {
        const Output shifted = renderWithOffset(offset);
        EXPECT_EQ(shifted.left, aligned.left) << "offset " << offset;
        EXPECT_EQ(shifted.right, aligned.right) << "offset " << offset;
    }
}

}  // namespace

#endif
