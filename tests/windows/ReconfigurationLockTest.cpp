// The effect's one lock, a Windows critical section in these builds: a host
// thread that changes a parameter while the audio thread processes a block
// must never leave the block half on the old configuration and half on the
// new one. Every block must equal the block a fresh instance renders with one
// of the two settings.
#include <gtest/gtest.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "PluginHarness.h"
#include "binding/AEffect.h"

namespace {

// A change of the middle crossover (param::crossoverFreq1) re-tunes the bank
// and reconfigures the band dynamics: the largest reconfiguration a single
// parameter causes.
constexpr float kSettingA = 0.3f;
constexpr float kSettingB = 0.7f;
// Long enough that many parameter changes are attempted while it runs.
constexpr std::int32_t kBlockFrames = 8192;

using testhost::Stereo;

Stereo testInput() {
    Stereo input(kBlockFrames);
    std::uint32_t seed = 99u;
    for (std::size_t i = 0; i < input.left.size(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        const float noise = static_cast<float>(static_cast<std::int32_t>(seed)) * 4.6e-10f;
        input.left[i] = noise;
        input.right[i] = (i % 64 < 32 ? 0.5f : -0.5f) + 0.5f * noise;
    }
    return input;
}

Stereo freshRender(float setting, const Stereo& input) {
    testhost::Plugin plugin;
    plugin.setParameter(param::crossoverFreq1, setting);
    return testhost::render(plugin, input);
}

// The host thread: flips the crossover between the two settings until told
// to stop. It makes no assertion; GoogleTest is asked from the main thread only.
struct Flipper {
    vst::AEffect* effect = nullptr;
    std::atomic<bool> stop{false};
    std::atomic<std::uint32_t> flips{0};
};

DWORD WINAPI flipSettings(void* argument) {
    auto* flipper = static_cast<Flipper*>(argument);
    while (!flipper->stop.load()) {
        const std::uint32_t flip = flipper->flips.load();
        flipper->effect->setParameter(flipper->effect, param::crossoverFreq1,
                                      flip % 2 == 0 ? kSettingB : kSettingA);
        flipper->flips.store(flip + 1);
    }
    return 0;
}

TEST(ReconfigurationLock, EveryBlockSeesOneWholeConfiguration) {
    const Stereo input = testInput();
    const Stereo expectedA = freshRender(kSettingA, input);
    const Stereo expectedB = freshRender(kSettingB, input);
    ASSERT_FALSE(expectedA == expectedB) << "the two settings must sound different";

    int blocksA = 0;
    int blocksB = 0;
    int blocksMixed = 0;
    std::uint32_t flipsDuringBlocks = 0;
    for (int trial = 0; trial < 400 && (trial < 40 || blocksA == 0 || blocksB == 0); ++trial) {
        testhost::Plugin plugin;
        plugin.setParameter(param::crossoverFreq1, kSettingA);
        Flipper flipper;
        flipper.effect = plugin.record();
        HANDLE thread = CreateThread(nullptr, 0, flipSettings, &flipper, 0, nullptr);
        ASSERT_NE(thread, nullptr);
        while (flipper.flips.load() == 0) {
            SwitchToThread();
        }
        const std::uint32_t flipsBefore = flipper.flips.load();
        const Stereo output = testhost::render(plugin, input);
        flipsDuringBlocks += flipper.flips.load() - flipsBefore;
        flipper.stop.store(true);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);

        if (output == expectedA) {
            ++blocksA;
        } else if (output == expectedB) {
            ++blocksB;
        } else {
            ++blocksMixed;
        }
    }
    EXPECT_EQ(blocksMixed, 0) << "blocks that saw part of a reconfiguration";
    // Both settings were in force at the start of some block, so the host
    // thread really ran against the audio thread.
    EXPECT_GT(blocksA, 0);
    EXPECT_GT(blocksB, 0);
    RecordProperty("blocksA", blocksA);
    RecordProperty("blocksB", blocksB);
    RecordProperty("flipsDuringBlocks", static_cast<int>(flipsDuringBlocks));
}

}  // namespace
