// A host that scans or reloads plug-ins loads, opens, runs, closes and unloads
// the library again and again in one process. Every cycle must give back what
// it took: after the first cycle (which may leave one-time allocations of the
// process's own runtime), a thousand more leave the C runtime heap where it was.
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstddef>
#include <cstdio>
#include <memory>

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

// One life of the library, as a scanning host drives it. True when the
// library is unmapped afterwards: one that stayed loaded would make every
// later cycle free, whatever it leaks.
bool loadRunUnload(const testhost::Stereo& input) {
    auto library = std::make_shared<host::PluginLibrary>(testhost::pluginPath());
    {
        host::PluginInstance plugin(library, testhost::kSampleRate,
                                    static_cast<std::int32_t>(input.frames()));
        host::ProcessingSession session(plugin);
        testhost::render(plugin, input);
    }
    return library->unload();
}

TEST(LoadUnload, AThousandCyclesLeaveTheHeapFlat) {
    constexpr int kCycles = 1000;
    constexpr std::size_t kAllowedGrowth = 4096;
    const testhost::Stereo input(testhost::sine(440.0, 0.5, 512), testhost::noise(7, 0.1, 512));

    ASSERT_TRUE(loadRunUnload(input)) << "the library stayed loaded";
    const std::size_t afterFirst = heapBytesInUse();
    for (int cycle = 1; cycle < kCycles; ++cycle) {
        ASSERT_TRUE(loadRunUnload(input)) << "the library stayed loaded after cycle " << cycle;
    }
    const std::size_t afterAll = heapBytesInUse();
    std::printf("heap in use after the first cycle %zu bytes, after %d cycles %zu bytes\n",
                afterFirst, kCycles, afterAll);
    EXPECT_LE(afterAll, afterFirst + kAllowedGrowth)
        << "heap grew by " << afterAll - afterFirst << " bytes over " << kCycles - 1
        << " cycles";
}

}  // namespace
