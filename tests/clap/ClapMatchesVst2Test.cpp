// The CLAP plug-in sounds like the VST 2 one, bit for bit: at every setting of
// the shared table with the values sent at time 0, each value in shown units
// (the shortest number for the VST 2 position), and at every factory preset
// sent so while it runs; with events inside a block, like the VST 2 plug-in
// processing that block in parts split at each event;
// at the rate it is activated at. Events it must not take change nothing but
// what they are read as; a flush applies values with or without audio; a
// reset forgets the signal like a new instance; the bypass crossfades and
// keeps the compressor warm; each meter follows its band.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "BypassCheck.h"
#include "ClapTestHost.h"
#include "SettingTable.h"
#include "engine/ControlTable.h"

namespace {

using namespace clap;
using claptest::Instance;
using claphost::paramValue;
using testhost::Stereo;

constexpr std::uint32_t kBlock = 512;

const engine::ControlTable& table() {
    return engine::ControlTable::instance();
}

// The value a host's view shows for a VST 2 position.
double shown(std::int32_t index, float position) {
    return table().parameter(static_cast<std::size_t>(index)).shownAt(position);
}

void queueSetting(Instance& instance, const testhost::Setting& setting, std::uint32_t time = 0) {
    for (const auto& [index, position] : setting) {
        instance.queue(static_cast<clap_id>(index), shown(index, position), time);
    }
}

void setSetting(host::PluginInstance& plugin, const testhost::Setting& setting) {
    for (const auto& [index, position] : setting) plugin.setParameter(index, position);
}

// The VST 2 plug-in's render with each setting set at its frame: the signal
// processed in parts between them.
Stereo renderInParts(const Stereo& signal,
                     const std::vector<std::pair<std::size_t, testhost::Setting>>& settings) {
    testhost::Plugin vst2;
    Stereo out(signal.frames());
    std::size_t from = 0;
    const auto partUpTo = [&](std::size_t to) {
        vst2.processReplacing(signal.left.data() + from, signal.right.data() + from,
                              out.left.data() + from, out.right.data() + from,
                              static_cast<std::int32_t>(to - from));
        from = to;
    };
    for (const auto& [frame, setting] : settings) {
        partUpTo(frame);
        setSetting(vst2, setting);
    }
    partUpTo(signal.frames());
    return out;
}

TEST(ClapMatchesVst2, EverySettingOfTheTable) {
    const Stereo signal = testhost::burstSignal(6000);
    for (const testhost::SettingRow& row : testhost::settingTable()) {
        SCOPED_TRACE(row.name);
        testhost::Plugin vst2;
        setSetting(vst2, row.setting);
        Instance plugin;
        queueSetting(plugin, row.setting);
        ASSERT_EQ(plugin.render(signal, kBlock), testhost::render(vst2, signal, kBlock));
    }
}

// Each factory preset as values in shown units at kPresetSwitchFrame after a
// random setting, so that it must set every parameter; the VST 2 plug-in gets
// the preset's positions there.
TEST(ClapMatchesVst2, EveryPresetSetByValue) {
    const testhost::Setting& before = testhost::settingTable().back().setting;
    const Stereo signal = testhost::burstSignal(2 * testhost::kPresetSwitchFrame);
    for (const testhost::SettingRow& preset : testhost::presetTable()) {
        SCOPED_TRACE(preset.name);
        testhost::Plugin vst2;
        const Stereo expected =
            testhost::renderSwitched(vst2, signal, before, preset.setting, kBlock);
        Instance plugin;
        queueSetting(plugin, before);
        Stereo actual = signal;
        for (std::size_t from = 0; from < signal.frames(); from += kBlock) {
            if (from == testhost::kPresetSwitchFrame) queueSetting(plugin, preset.setting);
            plugin.process(actual.left.data() + from, actual.right.data() + from, kBlock);
        }
        ASSERT_EQ(actual, expected);
    }
}

TEST(ClapMatchesVst2, ActivatedAtAnotherRate) {
    const double rate = 96000.0;
    const Stereo signal = testhost::burstSignal(6000, rate);
    host::PluginInstance vst2(testhost::sharedLibrary(), rate, testhost::kLargestBlock);
    Instance plugin;
    plugin.render(signal, kBlock);
    plugin.deactivate();
    plugin.activate(rate);
    EXPECT_EQ(plugin.render(signal, kBlock), testhost::render(vst2, signal, kBlock));
}

// One block with events at two frames; the VST 2 plug-in gets the same
// values between the three parts of the block.
TEST(ClapMatchesVst2, EventsTakeEffectAtTheirFrame) {
    const std::vector<testhost::SettingRow>& settings = testhost::settingTable();
    const testhost::Setting& start = settings[settings.size() - 1].setting;
    const testhost::Setting& first = settings[settings.size() - 2].setting;
    const testhost::Setting& second = settings[settings.size() - 3].setting;
    const Stereo signal = testhost::burstSignal(4 * kBlock);
    for (const auto& [at, then] :
         {std::pair<std::uint32_t, std::uint32_t>{1, 100}, {100, 511}, {1, 511}}) {
        SCOPED_TRACE(std::to_string(at) + ", " + std::to_string(then));
        const Stereo expected =
            renderInParts(signal, {{0, start}, {kBlock + at, first}, {kBlock + then, second}});

        Instance plugin;
        Stereo actual = signal;
        queueSetting(plugin, start);
        plugin.process(actual.left.data(), actual.right.data(), kBlock);
        queueSetting(plugin, first, at);
        queueSetting(plugin, second, then);
        for (std::size_t from = kBlock; from < actual.frames(); from += kBlock) {
            plugin.process(actual.left.data() + from, actual.right.data() + from, kBlock);
        }
        ASSERT_EQ(actual, expected);
    }
}

// An event as sent in one of a render's blocks: a parameter value, possibly
// with a header no host should send.
struct Sent {
    std::size_t block;
    clap_event_param_value event;
};

Sent at(std::size_t block, clap_id id, double value, std::uint32_t time,
        const std::function<void(clap_event_header&)>& spoil = {}) {
    Sent sent{block, paramValue(id, value, time)};
    if (spoil) spoil(sent.event.header);
    return sent;
}

Stereo renderWith(const std::vector<Sent>& events) {
    const Stereo signal = testhost::burstSignal(4 * kBlock);
    Instance plugin;
    Stereo out = signal;
    for (std::size_t block = 0; block < 4; ++block) {
        for (const Sent& sent : events) {
            if (sent.block == block) plugin.events().addBytes(&sent.event, sizeof sent.event);
        }
        const std::size_t from = block * kBlock;
        EXPECT_EQ(plugin.process(out.left.data() + from, out.right.data() + from, kBlock),
                  kProcessContinue);
    }
    return out;
}

// Each row: what a host sent, and the well-formed events it must sound like.
TEST(ClapEvents, ThoseNotTakenChangeNothingElse) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const clap_id drive = param::masterDrive;
    const clap_id out = param::masterOut;
    const clap_id bank = param::filterBank;
    const auto maximum = [](clap_id id) { return table().find(id)->maximum(); };
    const auto minimum = [](clap_id id) { return table().find(id)->minimum(); };
    struct Row {
        std::string name;
        std::vector<Sent> sent;
        std::vector<Sent> meant;
    };
    const std::vector<Row> rows = {
        {"unknown IDs",
         {at(1, 20, 1.0, 10), at(1, 99, 1.0, 10), at(1, 105, -5.0, 10), at(1, kInvalidId, 3.0, 10),
          at(1, drive, 24.0, 200)},
         {at(1, drive, 24.0, 200)}},
        {"NaN", {at(1, drive, nan, 10), at(1, out, -20.0, 10)}, {at(1, out, -20.0, 10)}},
        {"a meter", {at(1, engine::meterId(0), -30.0, 5)}, {}},
        {"other types and spaces",
         {at(1, drive, 60.0, 5, [](clap_event_header& h) { h.type = kEventParamMod; }),
          at(1, drive, 60.0, 5, [](clap_event_header& h) { h.type = kEventNoteOn; }),
          at(1, drive, 60.0, 5, [](clap_event_header& h) { h.space_id = 1; })},
         {}},
        {"a record too small for a value",
         {at(1, drive, 60.0, 5, [](clap_event_header& h) { h.size = sizeof h + 8; })},
         {}},
        {"out of range",
         {at(1, drive, 1000.0, 50), at(1, out, -inf, 50), at(1, bank, 99.0, 50)},
         {at(1, drive, maximum(drive), 50), at(1, out, minimum(out), 50),
          at(1, bank, maximum(bank), 50)}},
        {"out of order",
         {at(1, drive, 40.0, 300), at(1, out, -20.0, 100)},
         {at(1, drive, 40.0, 300), at(1, out, -20.0, 300)}},
        {"at or past the block's end",
         {at(1, drive, 40.0, kBlock), at(1, out, -20.0, UINT32_MAX)},
         {at(2, drive, 40.0, 0), at(2, out, -20.0, 0)}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Stereo actual = renderWith(row.sent);
        ASSERT_TRUE(testhost::allFinite(actual.left.data(), actual.frames()));
        ASSERT_TRUE(testhost::allFinite(actual.right.data(), actual.frames()));
        ASSERT_EQ(actual, renderWith(row.meant));
    }
}

TEST(ClapEvents, FlushAppliesValuesWithOrWithoutAudio) {
    const testhost::Setting& setting = testhost::settingTable().back().setting;
    const Stereo signal = testhost::burstSignal(6000);
    const Stereo expected = renderInParts(signal, {{0, setting}});

    Instance inactive;
    inactive.deactivate();
    queueSetting(inactive, setting);
    inactive.flush();
    inactive.activate(testhost::kSampleRate);
    EXPECT_EQ(inactive.render(signal, kBlock), expected);

    // Between blocks: as values at the start of the next one.
    Instance active;
    Stereo actual = signal;
    active.process(actual.left.data(), actual.right.data(), kBlock);
    queueSetting(active, setting);
    active.flush();
    for (std::size_t from = kBlock; from < actual.frames(); from += kBlock) {
        const auto frames =
            static_cast<std::uint32_t>(std::min<std::size_t>(kBlock, actual.frames() - from));
        active.process(actual.left.data() + from, actual.right.data() + from, frames);
    }
    EXPECT_EQ(actual, renderInParts(signal, {{kBlock, setting}}));
}

TEST(ClapReset, ForgetsTheSignalLikeANewInstance) {
    const testhost::Setting& setting = testhost::settingTable().back().setting;
    const Stereo signal = testhost::burstSignal(6000);
    Instance fresh;
    queueSetting(fresh, setting);
    const Stereo expected = fresh.render(signal, kBlock);

    Instance used;
    queueSetting(used, setting);
    used.render(signal, kBlock);
    ASSERT_FALSE(used.render(signal, kBlock) == expected)
        << "the signal leaves no history to forget";
    used.plugin().reset(&used.plugin());
    EXPECT_EQ(used.render(signal, kBlock), expected);
}

// The bypass switched at a frame of the block, through its parameter.
TEST(ClapBypass, PassesTheInputSwitchesSmoothlyKeepsTheCompressorWarm) {
    const std::size_t frames = 16 * kBlock;
    const Stereo signal = testhost::bypassTestTone(frames);
    Instance never;
    never.queue(param::masterDrive, 60.0);
    const Stereo compressed = never.render(signal, kBlock);
    const std::size_t on = testhost::widestGap(signal, compressed, 4 * kBlock, 5 * kBlock);
    const std::size_t off = testhost::widestGap(signal, compressed, 10 * kBlock, 11 * kBlock);

    Instance plugin;
    plugin.queue(param::masterDrive, 60.0);
    Stereo out = signal;
    for (std::size_t from = 0; from < frames; from += kBlock) {
        for (const auto& [at, value] : {std::pair<std::size_t, double>{on, 1.0}, {off, 0.0}}) {
            if (at >= from && at < from + kBlock) {
                plugin.queue(engine::kBypassId, value, static_cast<std::uint32_t>(at - from));
            }
        }
        plugin.process(out.left.data() + from, out.right.data() + from, kBlock);
    }
    EXPECT_EQ(testhost::bypassFault(out, signal, compressed, on, off), "");
}

// Each meter is its own band's: driven alone, a band moves its meter and no
// other, as the events after the block report it.
TEST(ClapMeters, EachFollowsItsOwnBand) {
    for (std::int32_t band = 0; band < 4; ++band) {
        SCOPED_TRACE(band);
        Instance alone;
        queueSetting(alone, testhost::bandAloneSetting(band));
        alone.render(testhost::bandTestNoise(32 * kBlock), kBlock);
        std::array<double, 4> readings{};
        for (std::size_t meter = 0; meter < readings.size(); ++meter) {
            readings[meter] = alone.reported(engine::meterId(meter));
        }
        EXPECT_TRUE(testhost::onlyBandMoves(readings, band))
            << readings[0] << " " << readings[1] << " " << readings[2] << " " << readings[3];
    }
}

}  // namespace
