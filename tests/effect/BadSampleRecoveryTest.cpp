// Bad input samples: NaN, infinities and finite values far beyond any audio
// level must not poison the filters or the envelopes. Once the input is sane
// again the output is finite at once and the compression is back to normal
// within the release time.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "PluginHarness.h"

using testhost::allFinite;
using testhost::Plugin;
using testhost::rmsDecibels;
using testhost::Stereo;

namespace {

constexpr std::size_t kRate = 44100;
constexpr float kInfinity = std::numeric_limits<float>::infinity();

// Two tones in different bands under a noise bed: every band sees signal.
Stereo music(std::size_t frames, std::uint32_t seed) {
    Stereo s(testhost::noise(seed, 0.15, frames), testhost::noise(seed + 1, 0.15, frames));
    const std::vector<float> low = testhost::sine(90.0, 0.4, frames);
    const std::vector<float> high = testhost::sine(2500.0, 0.2, frames);
    for (std::size_t i = 0; i < frames; ++i) {
        s.left[i] += low[i] + high[i];
        s.right[i] += low[i] - high[i];
    }
    return s;
}

Stereo render(Plugin& plugin, const Stereo& in) {
    return testhost::render(plugin, in, 256);
}

// Every sample from `from` on is finite.
bool finiteFrom(const std::vector<float>& x, std::size_t from) {
    return allFinite(x.data() + from, x.size() - from);
}

struct BadBurst {
    const char* name;
    float value;
    std::size_t length;  // samples
    bool bothChannels;
};

void PrintTo(const BadBurst& burst, std::ostream* out) {
    *out << burst.name;
}

class BadSampleRecovery : public ::testing::TestWithParam<BadBurst> {};

}  // namespace

TEST_P(BadSampleRecovery, OutputFiniteAtOnceAndLevelBackWithinRelease) {
    const BadBurst& burst = GetParam();
    const std::size_t before = kRate / 2;
    const std::size_t after = kRate;
    const std::size_t end = before + burst.length;

    const Stereo clean = music(end + after, 42);
    Stereo input = clean;
    for (std::size_t i = before; i < end; ++i) {
        // Alternate signs so an overflow cannot hide behind a constant.
        const float value = (i % 2 == 0 || std::isnan(burst.value)) ? burst.value : -burst.value;
        input.left[i] = value;
        if (burst.bothChannels) input.right[i] = value;
    }

    Plugin hit;
    const Stereo out = render(hit, input);
    EXPECT_TRUE(finiteFrom(out.left, end));
    EXPECT_TRUE(finiteFrom(out.right, end));

    // A fresh instance given only what follows the burst: after the release
    // time (0.1 s at the defaults) both must compress alike.
    const Stereo tail(
        std::vector<float>(clean.left.begin() + static_cast<std::ptrdiff_t>(end), clean.left.end()),
        std::vector<float>(clean.right.begin() + static_cast<std::ptrdiff_t>(end),
                           clean.right.end()));
    Plugin fresh;
    const Stereo reference = render(fresh, tail);
    const std::size_t from = kRate / 10;
    const std::size_t to = from + kRate / 4;
    EXPECT_NEAR(rmsDecibels(out.left, end + from, end + to), rmsDecibels(reference.left, from, to),
                0.05);
    EXPECT_NEAR(rmsDecibels(out.right, end + from, end + to),
                rmsDecibels(reference.right, from, to), 0.05);
}

INSTANTIATE_TEST_SUITE_P(
    Bursts, BadSampleRecovery,
    ::testing::Values(BadBurst{"OneNaN", std::numeric_limits<float>::quiet_NaN(), 1, false},
                      BadBurst{"NaNBurst", std::numeric_limits<float>::quiet_NaN(), 300, true},
                      BadBurst{"OnePlusInfinity", kInfinity, 1, true},
                      BadBurst{"MinusInfinityBurst", -kInfinity, 300, false},
                      BadBurst{"One1e38", 1e38f, 1, true}, BadBurst{"Burst1e38", 1e38f, 2000, true},
                      BadBurst{"Burst3e38", 3e38f, 300, true},
                      BadBurst{"LargestFloatBurst", std::numeric_limits<float>::max(), 50, false}),
    [](const ::testing::TestParamInfo<BadBurst>& param) { return std::string(param.param.name); });

// The largest magnitude the effect still processes as signal, in every bank at
// the highest drive and output settings, gives large but finite output.
TEST(BadSampleRecovery, LargestProcessedInputStaysFiniteAtFullDrive) {
    const std::size_t frames = 4096;
    Stereo loud(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        // Full-scale square waves at two rates, and a step held for a while.
        loud.left[i] = (i / 3) % 2 == 0 ? 1e12f : -1e12f;
        loud.right[i] = i < frames / 2 ? 1e12f : ((i / 50) % 2 == 0 ? 1e12f : -1e12f);
    }
    for (int bank = 0; bank < 12; ++bank) {
        Plugin plugin;
        plugin.setParameter(param::filterBank, static_cast<float>(bank) / 11.0f);
        for (std::int32_t index :
             {param::masterDrive, param::masterOut, param::driveAdjust0, param::driveAdjust1,
              param::driveAdjust2, param::driveAdjust3, param::outAdjust0, param::outAdjust1,
              param::outAdjust2, param::outAdjust3}) {
            plugin.setParameter(index, 1.0f);
        }
        plugin.setParameter(param::stereoSeparation, 1.0f);
        plugin.setParameter(param::release, 0.0f);
        const Stereo out = render(plugin, loud);
        EXPECT_TRUE(finiteFrom(out.left, 0)) << "bank " << bank;
        EXPECT_TRUE(finiteFrom(out.right, 0)) << "bank " << bank;
    }
}
