// A host that scans or reloads plug-ins loads, opens, runs, closes and unloads
// the library again and again in one process. Every cycle must give back what
// it took: after the first cycle (which may leave one-time allocations of the
// process's own runtime), a thousand more leave the C runtime heap where it was.
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "PluginHarness.h"

namespace {

// Bytes in use on the heap behind malloc, which the plug-in shares with us.
// Under Wine the process counters do not move even for a plain leak, so the
// C runtime's heap is walked instead.
std::size_t heapBytesInUse() {
#if defined(_WIN32)
    std::size_t total = 0;
    _HEAPINFO entry{};
    entry._pentry = nullptr;
    while (_heapwalk(&entry) == _HEAPOK) {
        if (entry._useflag == _USEDENTRY) total += entry._size;
    }
    return total;
#else
    return mallinfo2().uordblks;
#endif
}

// Whether the library is still mapped: one that stays loaded (pinned by the
// loader) would make every later cycle free, whatever it leaks.
bool stillLoaded(const std::string& path) {
#if defined(_WIN32)
    return GetModuleHandleA(path.c_str()) != nullptr;
#else
    void* handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (handle != nullptr) dlclose(handle);
    return handle != nullptr;
#endif
}

// One life of the library, as a scanning host drives it.
bool loadRunUnload(const std::vector<float>& input, std::vector<float>& left,
                   std::vector<float>& right) {
    testhost::PluginLibrary library(testhost::pluginPath());
    if (!library.loaded() || library.entry() == nullptr) return false;
    vst::AEffect* effect = library.entry()(testhost::testHostCallback);
    if (effect == nullptr) return false;
    effect->dispatcher(effect, vst::effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
    effect->dispatcher(effect, vst::effSetBlockSize, 0, static_cast<vst::IntPtr>(input.size()),
                       nullptr, 0.0f);
    effect->dispatcher(effect, vst::effMainsChanged, 0, 1, nullptr, 0.0f);
    float* inputs[2] = {const_cast<float*>(input.data()), const_cast<float*>(input.data())};
    float* outputs[2] = {left.data(), right.data()};
    effect->processReplacing(effect, inputs, outputs, static_cast<std::int32_t>(input.size()));
    effect->dispatcher(effect, vst::effMainsChanged, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, vst::effClose, 0, 0, nullptr, 0.0f);
    return true;
}

TEST(LoadUnload, AThousandCyclesLeaveTheHeapFlat) {
    constexpr int kCycles = 1000;
    constexpr std::size_t kAllowedGrowth = 4096;
    const std::vector<float> input = testhost::sine(440.0, 0.5, 512, 48000.0);
    std::vector<float> left(input.size());
    std::vector<float> right(input.size());

    ASSERT_TRUE(loadRunUnload(input, left, right)) << "cannot load " << testhost::pluginPath();
    const std::size_t afterFirst = heapBytesInUse();
    for (int cycle = 1; cycle < kCycles; ++cycle) {
        ASSERT_TRUE(loadRunUnload(input, left, right)) << "cycle " << cycle;
    }
    const std::size_t afterAll = heapBytesInUse();
    EXPECT_FALSE(stillLoaded(testhost::pluginPath())) << "the library stayed loaded";
    std::printf("heap in use after the first cycle %zu bytes, after %d cycles %zu bytes\n",
                afterFirst, kCycles, afterAll);
    EXPECT_LE(afterAll, afterFirst + kAllowedGrowth)
        << "heap grew by " << afterAll - afterFirst << " bytes over " << kCycles - 1
        << " cycles";
}

}  // namespace
