// A host's threads at once: an audio thread processes blocks without pause
// while two other threads, like a host's automation and its editor or plug-in
// scanner, hammer the parameter entries, the text requests and harmless
// dispatcher opcodes. Run under ThreadSanitizer it proves the effect free of
// data races; in every build it checks that the output stays finite and that
// no parameter change is lost.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "PluginHarness.h"

using testhost::allFinite;
using testhost::Plugin;
using testhost::Stereo;

namespace {
// 0.2 s. Every band's smoothing stays below 2/3, where the one-sample
// feedback loop converges, and band 0's is large enough that an envelope the
// storm drove as high as a float power allows (about 1e38) decays in 6 s.
constexpr float kComparisonRelease = 0.316228f;
constexpr double kComparisonSeconds = 10.0;
constexpr std::size_t kMaxBlock = 4096;
constexpr double kRate = 44100.0;
constexpr auto kStormTime = std::chrono::seconds(3);

// Tones in the low, middle and high bands over a noise bed.
Stereo music(std::size_t frames, std::uint32_t seed) {
    Stereo s(testhost::noise(seed, 0.1, frames), testhost::noise(seed + 1, 0.1, frames));
    const std::vector<float> low = testhost::sine(70.0, 0.4, frames);
    const std::vector<float> middle = testhost::sine(1000.0, 0.2, frames);
    const std::vector<float> high = testhost::sine(6000.0, 0.1, frames);
    for (std::size_t i = 0; i < frames; ++i) {
        s.left[i] += low[i] + middle[i];
        s.right[i] += low[i] - high[i];
    }
    return s;
}

struct AudioReport {
    std::size_t blocks = 0;
    std::size_t nonFiniteBlocks = 0;
};

// Blocks of random size, replacing or accumulating, into separate or in-place
// buffers, until told to stop.
AudioReport runAudio(vst::AEffect* fx, const std::atomic<bool>& stop) {
    const Stereo source = music(1 << 16, 3);
    std::vector<float> inLeft(kMaxBlock);
    std::vector<float> inRight(kMaxBlock);
    std::vector<float> outLeft(kMaxBlock);
    std::vector<float> outRight(kMaxBlock);
    std::mt19937 random(11);
    AudioReport report;
    std::size_t position = 0;
    while (!stop.load(std::memory_order_relaxed)) {
        const auto frames = static_cast<std::size_t>(random() % kMaxBlock) + 1;
        const bool replace = random() % 2 == 0;
        const bool inPlace = random() % 3 == 0;
        for (std::size_t i = 0; i < frames; ++i) {
            inLeft[i] = source.left[(position + i) % source.left.size()];
            inRight[i] = source.right[(position + i) % source.right.size()];
        }
        position += frames;
        float* inputs[2] = {inLeft.data(), inRight.data()};
        float* outputs[2] = {outLeft.data(), outRight.data()};
        if (inPlace) {
            outputs[0] = inLeft.data();
            outputs[1] = inRight.data();
        } else if (!replace) {
            std::fill(outLeft.begin(), outLeft.begin() + static_cast<std::ptrdiff_t>(frames),
                      0.25f);
            std::fill(outRight.begin(), outRight.begin() + static_cast<std::ptrdiff_t>(frames),
                      -0.25f);
        }
        const auto count = static_cast<std::int32_t>(frames);
        if (replace) {
            fx->processReplacing(fx, inputs, outputs, count);
        } else {
            fx->process(fx, inputs, outputs, count);
        }
        ++report.blocks;
        if (!allFinite(outputs[0], frames) || !allFinite(outputs[1], frames)) {
            ++report.nonFiniteBlocks;
        }
    }
    return report;
}

// What one control thread did: the last position it set at each index, and
// any answer that broke the interface's rules.
struct ControlReport {
    std::array<float, param::count> lastSet{};
    std::array<bool, param::count> wasSet{};
    std::size_t calls = 0;
    std::size_t badAnswers = 0;
};

float randomPosition(std::mt19937& random) {
    switch (random() % 8) {
        case 0:
            return 0.0f;
        case 1:
            return 1.0f;
        case 2:
            return -0.25f;  // out of range: ignored
        case 3:
            return 1.5f;  // out of range: ignored
        default:
            return std::uniform_real_distribution<float>(0.0f, 1.0f)(random);
    }
}

// A text request writes a terminated text within the budget of its opcode.
bool textWithin(const char* buffer, std::size_t budget) {
    return std::memchr(buffer, '\0', budget + 1) != nullptr;
}

ControlReport runControl(Plugin& plugin, std::uint32_t seed,
                         std::chrono::steady_clock::time_point until) {
    std::mt19937 random(seed);
    ControlReport report;
    char text[256];
    while (std::chrono::steady_clock::now() < until) {
        ++report.calls;
        const auto index = static_cast<std::int32_t>(random() % 24) - 2;
        switch (random() % 12) {
            case 0:
            case 1:
            case 2:
            case 3: {
                // Bank switches are frequent: each resets the new bank's memories.
                const std::int32_t target = random() % 4 == 0 ? param::filterBank : index;
                const float position = randomPosition(random);
                plugin.setParameter(target, position);
                if (target >= 0 && target < param::count && position >= 0.0f && position <= 1.0f) {
                    report.lastSet[static_cast<std::size_t>(target)] = position;
                    report.wasSet[static_cast<std::size_t>(target)] = true;
                }
                break;
            }
            case 4: {
                const float position = plugin.parameter(index);
                if (!(position >= 0.0f && position <= 1.0f)) ++report.badAnswers;
                break;
            }
            case 5:
                plugin.dispatch(vst::effGetParamName, index, 0, text);
                if (!textWithin(text, 24)) ++report.badAnswers;
                break;
            case 6:
                plugin.dispatch(vst::effGetParamLabel, index, 0, text);
                if (!textWithin(text, 8)) ++report.badAnswers;
                break;
            case 7:
                plugin.dispatch(vst::effGetParamDisplay, index, 0, text);
                if (!textWithin(text, 8)) ++report.badAnswers;
                break;
            case 8:
                if (plugin.dispatch(vst::effGetVstVersion) != 2300) ++report.badAnswers;
                if (plugin.dispatch(vst::effCanDo, 0, 0, const_cast<char*>("bypass")) != 0) {
                    ++report.badAnswers;
                }
                break;
            case 9:
                // The host repeats its rate: the stores race the reconfiguration's read.
                plugin.dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
                plugin.dispatch(vst::effSetBlockSizeAndSampleRate, 0,
                                static_cast<vst::IntPtr>(random() % kMaxBlock), nullptr,
                                static_cast<float>(kRate));
                plugin.dispatch(vst::effSetBlockSize, 0,
                                static_cast<vst::IntPtr>(random() % kMaxBlock));
                break;
            case 10:
                plugin.dispatch(vst::effMainsChanged, 0, static_cast<vst::IntPtr>(random() % 2));
                plugin.dispatch(vst::effSetProgram, 0, 0);
                if (plugin.dispatch(vst::effGetProgram) != 0) ++report.badAnswers;
                if (plugin.dispatch(vst::effCanBeAutomated, index) != 1) ++report.badAnswers;
                break;
            default:
                plugin.dispatch(vst::effGetEffectName, 0, 0, text);
                plugin.dispatch(vst::effGetVendorString, 0, 0, text);
                plugin.dispatch(vst::effGetProductString, 0, 0, text);
                plugin.dispatch(vst::effGetProgramName, 0, 0, text);
                plugin.dispatch(vst::effIdle);
                plugin.dispatch(vst::effGetTailSize);
                plugin.dispatch(vst::effGetVu);
                break;
        }
    }
    return report;
}

// The position an index reads back after a fresh instance was set to it.
float readBack(std::int32_t index, float position) {
    Plugin probe;
    probe.setParameter(index, position);
    return probe.parameter(index);
}

double rmsDecibels(const std::vector<float>& x, std::size_t from) {
    return testhost::rmsDecibels(x, from, x.size());
}

// The same level within 0.01 dB. Some final settings are exactly silent (one
// band listened to, lying between two equal crossovers of a parallel bank):
// then both must be.
void expectSameLevel(const std::vector<float>& stormed, const std::vector<float>& restored,
                     std::size_t from) {
    const double expected = rmsDecibels(restored, from);
    if (std::isinf(expected)) {
        EXPECT_EQ(rmsDecibels(stormed, from), expected);
    } else {
        EXPECT_NEAR(rmsDecibels(stormed, from), expected, 0.01);
    }
}

}  // namespace

TEST(ThreadStorm, ParametersAndSoundSurviveConcurrentHostThreads) {
    Plugin stormed;
    std::atomic<bool> stop{false};
    AudioReport audio;
    std::thread audioThread([&] { audio = runAudio(stormed.record(), stop); });

    const auto until = std::chrono::steady_clock::now() + kStormTime;
    ControlReport first;
    ControlReport second;
    std::thread automation([&] { first = runControl(stormed, 1, until); });
    std::thread editor([&] { second = runControl(stormed, 2, until); });
    automation.join();
    editor.join();
    stop.store(true, std::memory_order_relaxed);
    audioThread.join();

    EXPECT_GT(audio.blocks, 10u);
    EXPECT_EQ(audio.nonFiniteBlocks, 0u);
    EXPECT_EQ(first.badAnswers + second.badAnswers, 0u);

    // Each parameter holds the last position one of the two threads set (the
    // threads raced, so either may have been last), or its default.
    Plugin fresh;
    for (std::int32_t index = 0; index < param::count; ++index) {
        SCOPED_TRACE(index);
        const auto i = static_cast<std::size_t>(index);
        const float now = stormed.parameter(index);
        if (!first.wasSet[i] && !second.wasSet[i]) {
            EXPECT_EQ(now, fresh.parameter(index));
            continue;
        }
        const bool fromFirst = first.wasSet[i] && now == readBack(index, first.lastSet[i]);
        const bool fromSecond = second.wasSet[i] && now == readBack(index, second.lastSet[i]);
        EXPECT_TRUE(fromFirst || fromSecond) << now;
    }

    // A fresh instance given the same positions shows the same texts and, once
    // filter and envelope history has died away, sounds the same.
    Plugin restored;
    for (std::int32_t index = 0; index < param::count; ++index) {
        restored.setParameter(index, stormed.parameter(index));
    }
    for (std::int32_t index = 0; index < param::count; ++index) {
        EXPECT_EQ(restored.parameterDisplay(index), stormed.parameterDisplay(index)) << index;
    }
    // A release near 0 lets a band's feedback loop settle into a cycle whose
    // phase is history, and a long one makes a huge envelope from the storm
    // decay for longer than any test can wait; both get the same moderate
    // release before the comparison.
    stormed.setParameter(param::release, kComparisonRelease);
    restored.setParameter(param::release, kComparisonRelease);
    const auto frames = static_cast<std::size_t>(kComparisonSeconds * kRate);
    const Stereo in = music(frames, 5);
    const Stereo outStormed = testhost::render(stormed, in, 512);
    const Stereo outRestored = testhost::render(restored, in, 512);
    ASSERT_TRUE(allFinite(outStormed.left.data(), frames));
    ASSERT_TRUE(allFinite(outStormed.right.data(), frames));
    const std::size_t tail = frames - static_cast<std::size_t>(kRate / 4);
    expectSameLevel(outStormed.left, outRestored.left, tail);
    expectSameLevel(outStormed.right, outRestored.right, tail);
    float peak = 1.0f;
    for (std::size_t i = tail; i < frames; ++i) {
        peak = std::max({peak, std::fabs(outRestored.left[i]), std::fabs(outRestored.right[i])});
    }
    for (std::size_t i = tail; i < frames; ++i) {
        ASSERT_NEAR(outStormed.left[i], outRestored.left[i], 1e-4f * peak) << i;
        ASSERT_NEAR(outStormed.right[i], outRestored.right[i], 1e-4f * peak) << i;
    }
}
