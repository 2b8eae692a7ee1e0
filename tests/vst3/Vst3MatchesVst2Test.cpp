// The VST 3 plug-in sounds like the VST 2 one, bit for bit: at every setting
// of the shared table with the values sent at offset 0; with points inside a
// block, like the VST 2 plug-in processing that block in parts split at each
// point; at a rate set up anew. Its bypass passes the input untouched,
// switches without a click and keeps the compressor running, and its meters
// come back in the output changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "BypassCheck.h"
#include "PluginHarness.h"
#include "SettingTable.h"
#include "Vst3TestHost.h"
#include "engine/ControlIds.h"

namespace {

using namespace vst3;
using testhost::Stereo;
using vst3test::Instance;

constexpr std::size_t kBlock = 512;

void queueSetting(Instance& instance, const testhost::Setting& setting, int32 offset = 0) {
    for (const auto& [index, position] : setting) {
        instance.queue(static_cast<ParamID>(index), position, offset);
    }
}

void setSetting(host::PluginInstance& plugin, const testhost::Setting& setting) {
    for (const auto& [index, position] : setting) plugin.setParameter(index, position);
}

TEST(Vst3MatchesVst2, EverySettingOfTheTable) {
    const Stereo signal = testhost::burstSignal(6000);
    for (const testhost::SettingRow& row : testhost::settingTable()) {
        SCOPED_TRACE(row.name);
        testhost::Plugin vst2;
        setSetting(vst2, row.setting);
        Instance vst3;
        queueSetting(vst3, row.setting);
        ASSERT_EQ(vst3.render(signal, kBlock), testhost::render(vst2, signal, kBlock));
    }
}

// One block with points at two frames; the VST 2 plug-in gets the same
// values between the three parts of the block.
TEST(Vst3MatchesVst2, PointsTakeEffectAtTheirFrame) {
    const std::vector<testhost::SettingRow>& table = testhost::settingTable();
    const testhost::Setting& start = table[table.size() - 1].setting;
    const testhost::Setting& first = table[table.size() - 2].setting;
    const testhost::Setting& second = table[table.size() - 3].setting;
    const Stereo signal = testhost::burstSignal(4 * kBlock);
    for (const auto& [at, then] :
         {std::pair<int32, int32>{0, 1}, {1, 511}, {37, 300}, {200, 201}, {510, 511}}) {
        SCOPED_TRACE(std::to_string(at) + ", " + std::to_string(then));
        testhost::Plugin vst2;
        Stereo expected(signal.frames());
        const auto part = [&](std::size_t from, std::size_t to) {
            vst2.processReplacing(signal.left.data() + from, signal.right.data() + from,
                                  expected.left.data() + from, expected.right.data() + from,
                                  static_cast<std::int32_t>(to - from));
        };
        setSetting(vst2, start);
        part(0, kBlock);
        // The second block in three parts, split at the points; two more after.
        part(kBlock, kBlock + static_cast<std::size_t>(at));
        setSetting(vst2, first);
        part(kBlock + static_cast<std::size_t>(at), kBlock + static_cast<std::size_t>(then));
        setSetting(vst2, second);
        part(kBlock + static_cast<std::size_t>(then), 2 * kBlock);
        part(2 * kBlock, 3 * kBlock);
        part(3 * kBlock, 4 * kBlock);

        Instance vst3;
        Stereo actual = signal;
        queueSetting(vst3, start);
        vst3.process(actual.left.data(), actual.right.data(), kBlock);
        // Several parameters and several points per parameter in one block.
        queueSetting(vst3, first, at);
        queueSetting(vst3, second, then);
        for (std::size_t from = kBlock; from < actual.frames(); from += kBlock) {
            vst3.process(actual.left.data() + from, actual.right.data() + from, kBlock);
        }
        ASSERT_EQ(actual.left, expected.left);
        ASSERT_EQ(actual.right, expected.right);
    }
}

TEST(Vst3MatchesVst2, RateSetUpAnewAppliesAtOnce) {
    const double rate = 96000.0;
    const Stereo signal = testhost::burstSignal(6000, rate);
    host::PluginInstance vst2(testhost::sharedLibrary(), rate, testhost::kLargestBlock);
    Instance vst3;
    vst3.render(signal, kBlock);
    vst3.processor()->setProcessing(0);
    vst3.component()->setActive(0);
    ProcessSetup setup{kRealtime, kSample32, testhost::kLargestBlock, rate};
    ASSERT_EQ(vst3.processor()->setupProcessing(setup), kResultOk);
    vst3.component()->setActive(1);
    vst3.processor()->setProcessing(1);
    EXPECT_EQ(vst3.render(signal, kBlock), testhost::render(vst2, signal, kBlock));
}

TEST(Vst3Bypass, PassesTheInputSwitchesSmoothlyKeepsTheCompressorWarm) {
    const std::size_t frames = 16 * kBlock;
    const Stereo signal = testhost::bypassTestTone(frames);
    const testhost::Setting loud = {{param::masterDrive, 1.0f}};
    Instance never;
    queueSetting(never, loud);
    const Stereo compressed = never.render(signal, kBlock);
    const std::size_t on = testhost::widestGap(signal, compressed, 4 * kBlock, 5 * kBlock);
    const std::size_t off = testhost::widestGap(signal, compressed, 10 * kBlock, 11 * kBlock);

    Instance vst3;
    const ParamID bypass = vst3.parametersFlagged(kIsBypass).at(0);
    queueSetting(vst3, loud);
    Stereo out = signal;
    for (std::size_t from = 0; from < frames; from += kBlock) {
        if (on >= from && on < from + kBlock)
            vst3.queue(bypass, 1.0, static_cast<int32>(on - from));
        if (off >= from && off < from + kBlock)
            vst3.queue(bypass, 0.0, static_cast<int32>(off - from));
        vst3.process(out.left.data() + from, out.right.data() + from, kBlock);
    }
    EXPECT_EQ(testhost::bypassFault(out, signal, compressed, on, off), "");
}

TEST(Vst3Meters, ReportedEveryCallZeroAtRestNegativeUnderLoad) {
    Instance vst3;
    IEditController* controller = vst3.controller();
    const std::vector<ParamID> meters = vst3.parametersFlagged(kIsReadOnly);
    ASSERT_EQ(meters.size(), 4u);
    Stereo silence(kBlock);
    vst3.process(silence.left.data(), silence.right.data(), kBlock);
    for (const ParamID meter : meters) {
        EXPECT_EQ(controller->normalizedParamToPlain(meter, vst3.reported(meter)), 0.0) << meter;
    }
    queueSetting(vst3, {{param::masterDrive, 1.0f}});
    Stereo loud(testhost::noise(3, 0.9, kBlock), testhost::noise(4, 0.9, kBlock));
    for (int block = 0; block < 8; ++block) {
        vst3.process(loud.left.data(), loud.right.data(), kBlock);
        for (const ParamID meter : meters) {
            const double decibels = controller->normalizedParamToPlain(meter, vst3.reported(meter));
            EXPECT_TRUE(std::isfinite(decibels)) << meter;
            EXPECT_LT(decibels, 0.0) << meter;
        }
    }
    // Each meter is its own band's: driven alone, a band moves its meter and no other.
    for (std::int32_t band = 0; band < 4; ++band) {
        SCOPED_TRACE(band);
        Instance alone;
        queueSetting(alone, testhost::bandAloneSetting(band));
        Stereo noise = testhost::bandTestNoise(32 * kBlock);
        for (std::size_t at = 0; at < noise.frames(); at += kBlock) {
            alone.process(noise.left.data() + at, noise.right.data() + at, kBlock);
        }
        std::array<double, 4> readings{};
        for (std::size_t meter = 0; meter < readings.size(); ++meter) {
            const ParamID id = engine::meterId(meter);
            readings[meter] = alone.controller()->normalizedParamToPlain(id, alone.reported(id));
        }
        EXPECT_TRUE(testhost::onlyBandMoves(readings, band))
            << readings[0] << " " << readings[1] << " " << readings[2] << " " << readings[3];
    }
}

}  // namespace
