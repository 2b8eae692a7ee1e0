// The plug-in's state as Ardour saves and loads it: a round trip that sounds
// the same and survives Ardour writing every value back; anything malformed
// refused with nothing changed; the VST 2 plug-in's programs and banks read.
//
// The record (little-endian): tag "TCv3", version 1, the 20 positions as
// 32-bit floats, the bypass as a 32-bit 0 or 1.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "PluginHarness.h"
#include "ProgramFile.h"
#include "SettingTable.h"
#include "Vst3TestHost.h"

namespace {

using namespace vst3;
using Bytes = std::vector<std::uint8_t>;
using testhost::Stereo;
using vst3test::Instance;

constexpr std::size_t kRecordBytes = 92;
constexpr std::size_t kBypassOffset = 88;

std::size_t positionOffset(std::int32_t index) {
    return 8 + 4 * static_cast<std::size_t>(index);
}

void putFloat(Bytes& bytes, std::size_t offset, float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    for (std::size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

const testhost::Setting& randomSetting(std::size_t n) {
    const std::vector<testhost::SettingRow>& table = testhost::settingTable();
    return table[table.size() - 1 - n].setting;
}

// The 20 positions a record holds.
std::vector<double> recorded(const Bytes& record) {
    std::vector<double> values;
    for (std::int32_t i = 0; i < param::count; ++i) {
        std::uint32_t bits = 0;
        for (std::size_t b = 0; b < 4; ++b) {
            bits |= std::uint32_t{record[positionOffset(i) + b]} << (8 * b);
        }
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        values.push_back(static_cast<double>(value));
    }
    return values;
}

// What the controller shows for the 20 parameters.
std::vector<double> shown(Instance& instance) {
    std::vector<double> values;
    for (std::int32_t i = 0; i < param::count; ++i) {
        values.push_back(instance.controller()->getParamNormalized(static_cast<ParamID>(i)));
    }
    return values;
}

// The VST 2 plug-in at the positions the VST 3 plug-in's controller shows.
Stereo vst2RenderAt(const std::vector<double>& positions, const Stereo& signal) {
    testhost::Plugin vst2;
    for (std::int32_t i = 0; i < param::count; ++i) {
        vst2.setParameter(i, static_cast<float>(positions[static_cast<std::size_t>(i)]));
    }
    return testhost::render(vst2, signal, 512);
}

TEST(Vst3State, RoundTripSoundsTheSameAndSurvivesValuesWrittenBack) {
    const Stereo signal = testhost::burstSignal(4000);
    Instance saved;
    for (const auto& [index, position] : randomSetting(0)) {
        saved.queue(static_cast<ParamID>(index), position);
    }
    saved.render(signal, 512);
    const Bytes state = saved.state();
    ASSERT_EQ(state.size(), kRecordBytes);
    const std::vector<double> positions = recorded(state);
    // The positions the VST 2 plug-in reads back at that setting (choices
    // land on their own positions).
    testhost::Plugin vst2;
    for (const auto& [index, position] : randomSetting(0)) vst2.setParameter(index, position);
    for (std::int32_t i = 0; i < param::count; ++i) {
        EXPECT_EQ(positions[static_cast<std::size_t>(i)], vst2.parameter(i)) << i;
    }

    // Reopened as Ardour reopens a session: the state, then every value the
    // controller reports written back as a point.
    Instance reopened;
    ASSERT_EQ(reopened.restore(state), kResultOk);
    EXPECT_EQ(reopened.state(), state);
    EXPECT_EQ(shown(reopened), positions);
    for (std::int32_t i = 0; i < param::count; ++i) {
        reopened.queue(static_cast<ParamID>(i), positions[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(reopened.render(signal, 512), vst2RenderAt(positions, signal));
    EXPECT_EQ(reopened.state(), state);

    // The bypass is part of the state.
    Instance bypassed;
    bypassed.queue(bypassed.parametersFlagged(kIsBypass).at(0), 1.0);
    bypassed.render(signal, 512);
    EXPECT_EQ(bypassed.state()[kBypassOffset], 1);
    Bytes withBypass = state;
    withBypass[kBypassOffset] = 1;
    ASSERT_EQ(reopened.restore(withBypass), kResultOk);
    EXPECT_EQ(reopened.state(), withBypass);
}

TEST(Vst3State, MalformedRefusedAndNothingChanged) {
    Instance instance;
    for (const auto& [index, position] : randomSetting(1)) {
        instance.queue(static_cast<ParamID>(index), position);
    }
    Stereo audio = testhost::burstSignal(512);
    instance.process(audio.left.data(), audio.right.data(), 512);
    const Bytes good = instance.state();
    const std::vector<double> before = shown(instance);

    std::vector<std::pair<std::string, Bytes>> malformed;
    malformed.push_back({"empty", {}});
    malformed.push_back({"header only", Bytes(good.begin(), good.begin() + 8)});
    malformed.push_back({"one byte short", Bytes(good.begin(), good.end() - 1)});
    Bytes wrong = good;
    wrong[0] = 'X';
    malformed.push_back({"another tag", wrong});
    wrong = good;
    wrong[4] = 2;
    malformed.push_back({"another version", wrong});
    for (const float value : {std::numeric_limits<float>::quiet_NaN(),
                              std::numeric_limits<float>::infinity(), 1.5f, -0.25f}) {
        wrong = good;
        putFloat(wrong, positionOffset(param::filterBank), value);
        malformed.push_back({"position " + std::to_string(value), wrong});
    }
    wrong = good;
    wrong[kBypassOffset] = 2;
    malformed.push_back({"bypass 2", wrong});
    // A VST 2 program of another plug-in, and one cut short.
    host::Program program{0x12345678, 1, "other", std::vector<float>(param::count, 0.5f)};
    malformed.push_back({"another plug-in's program", host::encodeProgram(program)});
    program.pluginId = testhost::Plugin().uniqueId();
    Bytes cut = host::encodeProgram(program);
    cut.pop_back();
    malformed.push_back({"program cut short", cut});

    for (const auto& [name, bytes] : malformed) {
        SCOPED_TRACE(name);
        EXPECT_NE(instance.restore(bytes), kResultOk);
        EXPECT_EQ(instance.state(), good);
        EXPECT_EQ(shown(instance), before);
    }
}

// A VST 2 bank of programs, as the VST 2 interface writes one (big-endian):
// magic, size, form, version, unique ID, version, count, the current program
// (version 2), reserved bytes to 156, then the programs.
Bytes bank(std::int32_t version, std::int32_t current, const std::vector<host::Program>& programs) {
    Bytes out;
    const auto put = [&out](std::uint32_t value) {
        for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
    };
    std::vector<Bytes> encoded;
    std::size_t size = 156 - 8;
    for (const host::Program& program : programs) {
        encoded.push_back(host::encodeProgram(program));
        size += encoded.back().size();
    }
    out.insert(out.end(), {'C', 'c', 'n', 'K'});
    put(static_cast<std::uint32_t>(size));
    out.insert(out.end(), {'F', 'x', 'B', 'k'});
    put(static_cast<std::uint32_t>(version));
    put(static_cast<std::uint32_t>(programs.front().pluginId));
    put(1);
    put(static_cast<std::uint32_t>(programs.size()));
    put(version == 2 ? static_cast<std::uint32_t>(current) : 0);
    out.resize(156);
    for (const Bytes& program : encoded) out.insert(out.end(), program.begin(), program.end());
    return out;
}

TEST(Vst3State, Vst2ProgramsAndBanksLoad) {
    const Stereo signal = testhost::burstSignal(4000);
    std::vector<host::Program> programs;
    for (std::size_t n = 0; n < 2; ++n) {
        testhost::Plugin vst2;
        for (const auto& [index, position] : randomSetting(n)) vst2.setParameter(index, position);
        programs.push_back(host::captureProgram(vst2));
    }
    const auto positions = [](const host::Program& program) {
        return std::vector<double>(program.parameters.begin(), program.parameters.end());
    };
    const std::vector<std::pair<std::string, std::pair<Bytes, std::size_t>>> cases = {
        {"program (.fxp)", {host::encodeProgram(programs[1]), 1}},
        {"bank, version 1: its first program", {bank(1, 1, programs), 0}},
        {"bank, version 2: its current program", {bank(2, 1, programs), 1}},
    };
    for (const auto& [name, data] : cases) {
        SCOPED_TRACE(name);
        Instance instance;
        instance.queue(instance.parametersFlagged(kIsBypass).at(0), 1.0);
        instance.render(signal, 512);
        ASSERT_EQ(instance.restore(data.first), kResultOk);
        const std::vector<double> expected = positions(programs[data.second]);
        EXPECT_EQ(shown(instance), expected);
        // The bypass goes off: VST 2 data has none.
        EXPECT_EQ(instance.state()[kBypassOffset], 0);
        Instance fresh;
        ASSERT_EQ(fresh.restore(data.first), kResultOk);
        EXPECT_EQ(fresh.render(signal, 512), vst2RenderAt(expected, signal));
    }
}

}  // namespace
