// The VST 3 plug-in sounds like the VST 2 one, bit for bit: at every setting
// of the shared table with the values sent at offset 0; with points inside a
// block, like the VST 2 plug-in processing that block in parts split at each
// point; at a rate set up anew. Its bypass passes the input untouched,
// switches without a click and keeps the compressor running, and its meters
// come back in the output changes. Every factory preset, taken while it runs,
// through its program list and through its preset file, sounds like the
// VST 2 plug-in set to the preset's positions.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
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

#if defined(VST3_PRESET_DIR)
std::uint64_t littleEndian(const std::vector<std::uint8_t>& bytes, std::size_t at, int count) {
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | bytes.at(at + static_cast<std::size_t>(i));
    return value;
}

// The component state in a preset file, read as Ardour reads one: the class
// ID must be the plug-in's, the 'Comp' chunk is found through the chunk list.
std::vector<std::uint8_t> componentStateOf(const std::string& name) {
    const std::string path =
        VST3_PRESET_DIR "/Tessel @ Vantrelix/Compressor/" + name + ".vstpreset";
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), {});
    const PClassInfo2 info = vst3test::scan(vst3test::sharedModule()).info;
    std::string classId;
    for (const char byte : info.cid.bytes) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X",
                      static_cast<unsigned>(static_cast<uint8>(byte)));
        classId += digits;
    }
    if (file.size() < 48 || std::string(file.begin(), file.begin() + 4) != "VST3" ||
        std::string(file.begin() + 8, file.begin() + 40) != classId) {
        ADD_FAILURE() << path << " is no preset file of this class";
        return {};
    }
    const std::size_t list = littleEndian(file, 40, 8);
    if (std::string(file.begin() + static_cast<std::ptrdiff_t>(list),
                    file.begin() + static_cast<std::ptrdiff_t>(list) + 4) != "List") {
        ADD_FAILURE() << path << " has no chunk list";
        return {};
    }
    for (std::size_t chunk = 0; chunk < littleEndian(file, list + 4, 4); ++chunk) {
        const std::size_t entry = list + 8 + 20 * chunk;
        if (std::string(file.begin() + static_cast<std::ptrdiff_t>(entry),
                        file.begin() + static_cast<std::ptrdiff_t>(entry) + 4) != "Comp")
            continue;
        const auto from =
            file.begin() + static_cast<std::ptrdiff_t>(littleEndian(file, entry + 4, 8));
        return {from, from + static_cast<std::ptrdiff_t>(littleEndian(file, entry + 12, 8))};
    }
    ADD_FAILURE() << path << " has no component state";
    return {};
}
#endif

// Each preset is taken at kPresetSwitchFrame after a random setting, so that
// it must set every parameter; the VST 2 plug-in gets the preset's positions
// there. Through the program list, the plug-in also reports the positions it
// then has to the host and shows them in its controller. The preset files are
// written by the Linux build, so Windows builds check the program list only.
TEST(Vst3MatchesVst2, EveryPresetThroughTheProgramListAndItsFile) {
    const testhost::Setting& before = testhost::settingTable().back().setting;
    const Stereo signal = testhost::burstSignal(2 * testhost::kPresetSwitchFrame);
    const std::vector<testhost::SettingRow> presets = testhost::presetTable();
    Instance lister;
    const ParamID programChange = lister.parametersFlagged(kIsProgramChange).at(0);
    IUnitInfo* units = nullptr;
    ASSERT_EQ(
        lister.controller()->queryInterface(IUnitInfo::iid.bytes, reinterpret_cast<void**>(&units)),
        kResultOk);
    UnitInfo unit{};
    ProgramListInfo list{};
    ASSERT_EQ(units->getUnitInfo(0, unit), kResultOk);
    ASSERT_EQ(units->getProgramListInfo(0, list), kResultOk);
    EXPECT_EQ(unit.programListId, list.id);
    ASSERT_EQ(list.programCount, static_cast<int32>(presets.size()));

    for (std::size_t program = 0; program < presets.size(); ++program) {
        const testhost::SettingRow& preset = presets[program];
        SCOPED_TRACE(preset.name);
        String128 name{};
        ASSERT_EQ(units->getProgramName(list.id, static_cast<int32>(program), name), kResultOk);
        EXPECT_EQ(vst3host::narrow(name), preset.name);
        testhost::Plugin vst2;
        const Stereo expected =
            testhost::renderSwitched(vst2, signal, before, preset.setting, kBlock);

        Instance selected;
        queueSetting(selected, before);
        Stereo viaProgram = signal;
        for (std::size_t from = 0; from < signal.frames(); from += kBlock) {
            if (from == testhost::kPresetSwitchFrame) {
                selected.queue(programChange, static_cast<double>(program) /
                                                  static_cast<double>(presets.size() - 1));
            }
            selected.process(viaProgram.left.data() + from, viaProgram.right.data() + from, kBlock);
            if (from != testhost::kPresetSwitchFrame) continue;
            for (std::int32_t index = 0; index < param::count; ++index) {
                const auto id = static_cast<ParamID>(index);
                EXPECT_EQ(static_cast<float>(selected.reported(id)), vst2.parameter(index))
                    << index;
                EXPECT_EQ(static_cast<float>(selected.controller()->getParamNormalized(id)),
                          vst2.parameter(index))
                    << index;
            }
        }
        ASSERT_EQ(viaProgram, expected);
#if defined(VST3_PRESET_DIR)
        Instance loaded;
        queueSetting(loaded, before);
        Stereo viaFile = signal;
        for (std::size_t from = 0; from < signal.frames(); from += kBlock) {
            if (from == testhost::kPresetSwitchFrame) {
                ASSERT_EQ(loaded.restore(componentStateOf(preset.name)), kResultOk);
            }
            loaded.process(viaFile.left.data() + from, viaFile.right.data() + from, kBlock);
        }
        ASSERT_EQ(viaFile, expected);
#endif
    }
    units->release();
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
