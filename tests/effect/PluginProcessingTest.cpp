// Processing through the record: output modes, buffers, listening, clipping,
// and which parameter changes reach the filters and the dynamics.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "PluginHarness.h"

using testhost::Plugin;
using testhost::render;
using testhost::Stereo;

namespace {

constexpr std::size_t kFrames = 4096;

Stereo testSignal(std::uint32_t seed = 1, std::size_t frames = kFrames) {
    std::vector<float> left = testhost::noise(seed, 0.3, frames);
    std::vector<float> right = testhost::noise(seed + 7, 0.3, frames);
    const std::vector<float> tone = testhost::sine(110.0, 0.5, frames);
    for (std::size_t i = 0; i < frames; ++i) {
        left[i] += tone[i];
        right[i] -= tone[i];
    }
    return {left, right};
}

float peak(const Stereo& s) {
    float p = 0.0f;
    for (float x : s.left) p = std::max(p, std::fabs(x));
    for (float x : s.right) p = std::max(p, std::fabs(x));
    return p;
}

}  // namespace

TEST(PluginProcessing, AccumulateAddsWhatReplaceWrites) {
    // Clipping off and on (frames are clipped and written in a separate pass,
    // four at a time, with a tail when the count is not a multiple of four).
    const Stereo in = testSignal();
    for (float clip : {0.0f, 1.0f}) {
        Plugin replacing;
        Plugin accumulating;
        for (Plugin* plugin : {&replacing, &accumulating}) {
            plugin->setParameter(param::clipOnOff, clip);
            plugin->setParameter(param::masterDrive, 0.75f);  // loud enough to clip
        }
        const Stereo replaced = render(replacing, in);
        Stereo accumulated(kFrames, 0.25f);
        const std::size_t first = 1031;  // 16 chunks of 64 and 7 frames
        float* inputs[2] = {const_cast<float*>(in.left.data()),
                            const_cast<float*>(in.right.data())};
        float* outputs[2] = {accumulated.left.data(), accumulated.right.data()};
        accumulating.record()->process(accumulating.record(), inputs, outputs,
                                       static_cast<std::int32_t>(first));
        for (float*& channel : inputs) channel += first;
        for (float*& channel : outputs) channel += first;
        accumulating.record()->process(accumulating.record(), inputs, outputs,
                                       static_cast<std::int32_t>(kFrames - first));
        for (std::size_t i = 0; i < kFrames; ++i) {
            ASSERT_EQ(accumulated.left[i], 0.25f + replaced.left[i]) << i << " clip " << clip;
            ASSERT_EQ(accumulated.right[i], 0.25f + replaced.right[i]) << i << " clip " << clip;
        }
    }
}

TEST(PluginProcessing, InPlaceBuffersGiveTheSameOutput) {
    const Stereo in = testSignal();
    Plugin separate;
    Plugin inPlace;
    const Stereo expected = render(separate, in);
    Stereo buffer = in;
    inPlace.processReplacing(buffer.left.data(), buffer.right.data(), buffer.left.data(),
                             buffer.right.data(), static_cast<std::int32_t>(kFrames));
    EXPECT_EQ(buffer.left, expected.left);
    EXPECT_EQ(buffer.right, expected.right);
}

TEST(PluginProcessing, OutputDoesNotDependOnBlockSize) {
    const Stereo in = testSignal(3, 10000);
    Plugin whole;
    const Stereo expected = render(whole, in);
    for (std::int32_t block : {1, 17, 64, 333, 4096}) {
        Plugin chunked;
        const Stereo out = render(chunked, in, static_cast<std::size_t>(block));
        EXPECT_EQ(out.left, expected.left) << block;
        EXPECT_EQ(out.right, expected.right) << block;
    }
}

TEST(PluginProcessing, NonPositiveFrameCountsWriteNothing) {
    Plugin plugin;
    Stereo in = testSignal();
    for (std::int32_t frames : {0, -1, -4096}) {
        Stereo out(kFrames, 0.5f);
        float* inputs[2] = {in.left.data(), in.right.data()};
        float* outputs[2] = {out.left.data(), out.right.data()};
        plugin.record()->processReplacing(plugin.record(), inputs, outputs, frames);
        plugin.record()->process(plugin.record(), inputs, outputs, frames);
        EXPECT_TRUE(
            std::all_of(out.left.begin(), out.left.end(), [](float x) { return x == 0.5f; }));
    }
    // Nothing was processed either: the state is that of a fresh effect.
    Plugin fresh;
    EXPECT_EQ(render(plugin, in).left, render(fresh, in).left);
}

TEST(PluginProcessing, SilenceGivesTinyNonZeroOutput) {
    Plugin plugin;
    const Stereo silence(kFrames);
    const Stereo out = render(plugin, silence);
    EXPECT_LT(peak(out), 1e-14f);
    EXPECT_GT(peak(out), 0.0f);
}

TEST(PluginProcessing, ListenPassesOneBandAndAllTheSum) {
    const Stereo in = testSignal(5);
    Plugin all;
    const Stereo sum = render(all, in);
    Stereo bandSum(kFrames);
    for (int band = 0; band < 4; ++band) {
        Plugin single;
        single.setParameter(param::listenTo, 0.25f * static_cast<float>(band + 1));
        ASSERT_EQ(single.parameterDisplay(param::listenTo), "Band " + std::to_string(band));
        const Stereo out = render(single, in);
        for (std::size_t i = 0; i < kFrames; ++i) {
            bandSum.left[i] += out.left[i];
            bandSum.right[i] += out.right[i];
        }
        if (band == 0) {
            // The lowest band of a 110 Hz tone with noise differs from the full mix.
            EXPECT_NE(out.left, sum.left);
        }
    }
    for (std::size_t i = 0; i < kFrames; ++i) {
        ASSERT_NEAR(bandSum.left[i], sum.left[i], 1e-5f) << i;
        ASSERT_NEAR(bandSum.right[i], sum.right[i], 1e-5f) << i;
    }
}

TEST(PluginProcessing, ClippingBoundsTheOutput) {
    Stereo loud = testSignal(9);
    for (float& x : loud.left) x *= 8.0f;
    for (float& x : loud.right) x *= 8.0f;
    Plugin unclipped;
    unclipped.setParameter(param::masterOut, 1.0f);    // +12 dB
    unclipped.setParameter(param::masterDrive, 1.0f);  // +60 dB
    EXPECT_GT(peak(render(unclipped, loud)), 1.0f);

    Plugin clipped;
    clipped.setParameter(param::masterOut, 1.0f);
    clipped.setParameter(param::masterDrive, 1.0f);
    clipped.setParameter(param::clipOnOff, 1.0f);
    EXPECT_LE(peak(render(clipped, loud)), 1.0f);
}

TEST(PluginProcessing, ClipShapeAndListenReconfigureNothing) {
    const Stereo first = testSignal(11);
    const Stereo second = testSignal(12);
    Plugin touched;
    Plugin untouched;
    render(touched, first);
    render(untouched, first);
    touched.setParameter(param::clipShape, 0.9f);
    touched.setParameter(param::listenTo, 0.5f);
    touched.setParameter(param::listenTo, 0.0f);
    EXPECT_EQ(render(touched, second).left, render(untouched, second).left);
}

// Every parameter moved alone, to each of its choices or to both ends of its
// range, reaches the sound: one left out of the reconfiguration would still
// pass every test that moves it together with another.
TEST(PluginProcessing, EachParameterMovedAloneChangesTheSound) {
    // Positions k / (n - 1) select each of n choices; the others are moved to both ends.
    const std::map<std::int32_t, int> choiceCounts = {{param::listenTo, 5},
                                                      {param::filterBank, 12}};
    const Stereo in = testSignal(21);
    for (std::int32_t index = 0; index < param::count; ++index) {
        // "Clip hard<>soft" sets nothing yet (the clipper keeps its soft curve):
        // it must leave the sound alone even with clipping on, until it is wired up.
        const bool setsNothing = index == param::clipShape;
        Plugin untouched;
        if (setsNothing) untouched.setParameter(param::clipOnOff, 1.0f);
        const Stereo expected = render(untouched, in);
        const auto choices = choiceCounts.find(index);
        const int positions = choices != choiceCounts.end() ? choices->second : 2;
        for (int k = 0; k < positions; ++k) {
            const auto position = static_cast<float>(k / static_cast<double>(positions - 1));
            if (position == untouched.parameter(index)) continue;
            Plugin moved;
            if (setsNothing) moved.setParameter(param::clipOnOff, 1.0f);
            moved.setParameter(index, position);
            EXPECT_EQ(render(moved, in) == expected, setsNothing)
                << moved.parameterName(index) << " at " << position;
        }
    }
}

TEST(PluginProcessing, CrossoverChangeKeepsFilterMemories) {
    const Stereo first = testSignal(13);
    const Stereo second = testSignal(14);
    Plugin detour;
    Plugin direct;
    render(detour, first);
    render(direct, first);
    detour.setParameter(param::crossoverFreq0, 0.9f);
    detour.setParameter(param::crossoverFreq0, 0.4f);
    direct.setParameter(param::crossoverFreq0, 0.4f);
    EXPECT_EQ(render(detour, second).left, render(direct, second).left);

    // The filters still ring with what came before the change.
    const Stereo tone(testhost::sine(60.0, 0.9, kFrames), testhost::sine(60.0, 0.9, kFrames));
    render(direct, tone);
    direct.setParameter(param::crossoverFreq0, 0.45f);
    EXPECT_GT(peak(render(direct, Stereo(256))), 1e-3f);
}

TEST(PluginProcessing, ReselectingABankClearsItsMemories) {
    // A loud low tone leaves the bank's filters ringing; silence after it
    // shows that tail unless the bank was reset.
    const Stereo tone(testhost::sine(60.0, 0.9, kFrames), testhost::sine(60.0, 0.9, kFrames));
    const Stereo silence(256);
    for (float position : {0.0f, 3.0f / 11.0f, 1.0f}) {
        Plugin kept;
        Plugin reselected;
        kept.setParameter(param::filterBank, position);
        reselected.setParameter(param::filterBank, position);
        render(kept, tone);
        render(reselected, tone);
        reselected.setParameter(param::filterBank, position > 0.5f ? 0.0f : 1.0f);
        reselected.setParameter(param::filterBank, position);
        EXPECT_GT(peak(render(kept, silence)), 1e-3f) << position;
        EXPECT_LT(peak(render(reselected, silence)), 1e-12f) << position;
    }
}

TEST(PluginProcessing, SelectingTheCurrentBankChangesNothing) {
    const Stereo first = testSignal(15);
    const Stereo second = testSignal(16);
    Plugin reselected;
    Plugin untouched;
    render(reselected, first);
    render(untouched, first);
    reselected.setParameter(param::filterBank, 0.01f);  // still choice 0
    EXPECT_EQ(render(reselected, second).left, render(untouched, second).left);
}

// Moving a watched parameter (a crossover) recomputes every coefficient.
void reconfigure(Plugin& plugin) {
    plugin.setParameter(param::crossoverFreq0, 0.5f);
    plugin.setParameter(param::crossoverFreq0, 0.4f);
}

TEST(PluginSampleRate, NewRateReachesTheNextBlock) {
    const Stereo in = testSignal(17);
    Plugin reference;
    reference.dispatch(vst::effSetSampleRate, 0, 0, nullptr, 96000.0f);
    reconfigure(reference);

    Plugin bySetSampleRate;
    bySetSampleRate.setParameter(param::crossoverFreq0, 0.4f);
    bySetSampleRate.dispatch(vst::effSetSampleRate, 0, 0, nullptr, 96000.0f);
    Plugin byBlockSizeAndRate;
    byBlockSizeAndRate.setParameter(param::crossoverFreq0, 0.4f);
    byBlockSizeAndRate.dispatch(vst::effSetBlockSizeAndSampleRate, 0, 512, nullptr, 96000.0f);
    // Suspended, resumed and suspended again around the rate: order does not matter.
    Plugin whileSuspended;
    whileSuspended.setParameter(param::crossoverFreq0, 0.4f);
    whileSuspended.dispatch(vst::effMainsChanged, 0, 1, nullptr, 0.0f);
    whileSuspended.dispatch(vst::effMainsChanged, 0, 0, nullptr, 0.0f);
    whileSuspended.dispatch(vst::effSetSampleRate, 0, 0, nullptr, 96000.0f);
    whileSuspended.dispatch(vst::effMainsChanged, 0, 1, nullptr, 0.0f);
    Plugin oldRate;
    oldRate.setParameter(param::crossoverFreq0, 0.4f);

    const Stereo expected = render(reference, in);
    EXPECT_EQ(render(bySetSampleRate, in).left, expected.left);
    EXPECT_EQ(render(byBlockSizeAndRate, in).left, expected.left);
    EXPECT_EQ(render(whileSuspended, in).right, expected.right);
    EXPECT_NE(render(oldRate, in).left, expected.left);
}

TEST(PluginSampleRate, RateChangeMidStreamKeepsTheMemories) {
    // A loud low tone deep in compression: cleared filter memories or
    // envelopes would show as a step at the change.
    const std::size_t half = 8192;
    const std::vector<float> wave = testhost::sine(80.0, 0.9, 2 * half);
    const std::vector<float> firstHalf(wave.begin(), wave.begin() + half);
    const std::vector<float> secondHalf(wave.begin() + half, wave.end());
    const Stereo first(firstHalf, firstHalf);
    const Stereo second(secondHalf, secondHalf);

    Plugin plugin;
    plugin.setParameter(param::masterDrive, 0.75f);
    const Stereo before = render(plugin, first);
    float largestStep = 0.0f;
    for (std::size_t i = half / 2; i < half; ++i) {
        largestStep = std::max(largestStep, std::fabs(before.left[i] - before.left[i - 1]));
    }
    plugin.dispatch(vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
    const Stereo after = render(plugin, second);
    EXPECT_LE(std::fabs(after.left[0] - before.left.back()), 1.5f * largestStep);

    Plugin untouched;
    untouched.setParameter(param::masterDrive, 0.75f);
    render(untouched, first);
    EXPECT_NE(render(untouched, second).left, after.left);
}

TEST(PluginSampleRate, UnusableRatesChangeNothing) {
    const Stereo first = testSignal(18);
    const Stereo second = testSignal(19);
    for (float rate : {0.0f, -48000.0f, std::nanf(""), INFINITY}) {
        Plugin plugin;
        Plugin unchanged;
        plugin.dispatch(vst::effSetSampleRate, 0, 0, nullptr, rate);
        EXPECT_EQ(render(plugin, first).left, render(unchanged, first).left) << rate;
        // A later watched change keeps the last usable rate too.
        reconfigure(plugin);
        reconfigure(unchanged);
        EXPECT_EQ(render(plugin, second).left, render(unchanged, second).left) << rate;
    }
}

TEST(PluginProcessing, ModeBCompressesLessThanModeA) {
    // Square-root law: about 2:1 above the knee, against about 3:1 for mode A.
    const Stereo loud(testhost::sine(1000.0, 0.9, 16384), testhost::sine(1000.0, 0.9, 16384));
    Plugin modeA;
    Plugin modeB;
    modeA.setParameter(param::masterDrive, 0.75f);  // +40 dB drive: deep in compression
    modeB.setParameter(param::masterDrive, 0.75f);
    modeB.setParameter(param::compressorMode, 1.0f);
    EXPECT_GT(peak(render(modeB, loud)), peak(render(modeA, loud)));
}
