// The plug-in's state as Ardour saves and loads it: a round trip that sounds
// the same and survives Ardour writing every value back; every record it
// reads (today's keyed by symbol, the first version's array, the VST 2 plug-in's
// programs and banks) loading what it holds and keeping defaults for the rest;
// anything malformed refused with nothing changed.
//
// The record (little-endian): tag "TCv3", version 2, the number of bytes that
// follow, then per parameter and the bypass: symbol length (1 byte), symbol,
// position (32-bit float). Version 1: the 20 positions as 32-bit floats, then
// the bypass as a 32-bit 0 or 1.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "PluginHarness.h"
#include "ProgramFile.h"
#include "SettingTable.h"
#include "Vst3TestHost.h"

namespace {

using namespace vst3;
using Bytes = std::vector<std::uint8_t>;
using Entries = std::vector<std::pair<std::string, float>>;
using testhost::Stereo;
using vst3test::Instance;

void putWord(Bytes& bytes, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint32_t bitsOf(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

Bytes recordV1(const std::vector<double>& positions, bool bypass) {
    Bytes bytes = {'T', 'C', 'v', '3'};
    putWord(bytes, 1);
    for (const double position : positions) putWord(bytes, bitsOf(static_cast<float>(position)));
    putWord(bytes, bypass ? 1 : 0);
    return bytes;
}

Bytes recordV2(const Entries& entries) {
    Bytes body;
    for (const auto& [symbol, value] : entries) {
        body.push_back(static_cast<std::uint8_t>(symbol.size()));
        body.insert(body.end(), symbol.begin(), symbol.end());
        putWord(body, bitsOf(value));
    }
    Bytes bytes = {'T', 'C', 'v', '3'};
    putWord(bytes, 2);
    putWord(bytes, static_cast<std::uint32_t>(body.size()));
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

// A version-2 record's entries, in its order; empty when it is not one.
Entries entriesOf(const Bytes& record) {
    Entries entries;
    if (record.size() < 12 || record[4] != 2) return entries;
    for (std::size_t at = 12; at < record.size();) {
        const std::size_t length = record[at];
        const std::string symbol(record.begin() + static_cast<std::ptrdiff_t>(at + 1),
                                 record.begin() + static_cast<std::ptrdiff_t>(at + 1 + length));
        std::uint32_t bits = 0;
        for (std::size_t b = 0; b < 4; ++b)
            bits |= std::uint32_t{record[at + 1 + length + b]} << (8 * b);
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        entries.emplace_back(symbol, value);
        at += 1 + length + 4;
    }
    return entries;
}

std::optional<float> entry(const Bytes& record, const std::string& symbol) {
    for (const auto& [name, value] : entriesOf(record)) {
        if (name == symbol) return value;
    }
    return std::nullopt;
}

// The record with one entry's value replaced.
Bytes withEntry(const Bytes& record, const std::string& symbol, float value) {
    Entries entries = entriesOf(record);
    for (auto& [name, old] : entries) {
        if (name == symbol) old = value;
    }
    return recordV2(entries);
}

const testhost::Setting& randomSetting(std::size_t n) {
    const std::vector<testhost::SettingRow>& table = testhost::settingTable();
    return table[table.size() - 1 - n].setting;
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
    // A row that leaves most parameters at their defaults, which hosts never send.
    const testhost::Setting& setting = testhost::settingTable().front().setting;
    Instance saved;
    for (const auto& [index, position] : setting)
        saved.queue(static_cast<ParamID>(index), position);
    const Stereo sound = saved.render(signal, 512);
    const Bytes state = saved.state();
    // Every parameter under its symbol, in ID order, then the bypass.
    const Entries entries = entriesOf(state);
    ASSERT_EQ(entries.size(), static_cast<std::size_t>(param::count) + 1);
    EXPECT_EQ(recordV2(entries), state);
    EXPECT_EQ(entries.back(), std::make_pair(std::string("bypass"), 0.0f));
    // The positions the VST 2 plug-in reads back at that setting (choices
    // land on their own positions).
    testhost::Plugin vst2;
    for (const auto& [index, position] : setting) vst2.setParameter(index, position);
    std::vector<double> positions;
    for (std::int32_t i = 0; i < param::count; ++i) {
        const auto& [symbol, value] = entries[static_cast<std::size_t>(i)];
        EXPECT_EQ(symbol, effect::param::kIdentifiers[static_cast<std::size_t>(i)]);
        EXPECT_EQ(value, vst2.parameter(i)) << i;
        positions.push_back(static_cast<double>(value));
    }

    // Reopened as Ardour reopens a session: the state, then every value the
    // controller reports written back; it sounds as the saved instance did.
    Instance reopened;
    ASSERT_EQ(reopened.restore(state), kResultOk);
    EXPECT_EQ(reopened.state(), state);
    EXPECT_EQ(shown(reopened), positions);
    for (std::int32_t i = 0; i < param::count; ++i) {
        reopened.queue(static_cast<ParamID>(i), positions[static_cast<std::size_t>(i)]);
    }
    const Stereo reopenedSound = reopened.render(signal, 512);
    EXPECT_EQ(reopenedSound.left, sound.left);
    EXPECT_EQ(reopenedSound.right, sound.right);
    EXPECT_EQ(reopened.state(), state);

    // The bypass is part of the state.
    Instance bypassed;
    bypassed.queue(bypassed.parametersFlagged(kIsBypass).at(0), 1.0);
    bypassed.render(signal, 512);
    EXPECT_EQ(entry(bypassed.state(), "bypass"), 1.0f);
    const Bytes withBypass = withEntry(state, "bypass", 1.0f);
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
    malformed.push_back({"header only", Bytes(good.begin(), good.begin() + 12)});
    malformed.push_back({"one byte short", Bytes(good.begin(), good.end() - 1)});
    Bytes wrong = good;
    wrong[0] = 'X';
    malformed.push_back({"another tag", wrong});
    wrong = good;
    wrong[4] = 3;
    malformed.push_back({"another version", wrong});
    wrong = good;
    wrong[12] = 0;
    malformed.push_back({"an empty symbol", wrong});
    wrong = good;
    wrong[12] = 200;
    malformed.push_back({"a symbol longer than the record", wrong});
    for (const float value : {std::numeric_limits<float>::quiet_NaN(),
                              std::numeric_limits<float>::infinity(), 1.5f, -0.25f}) {
        malformed.push_back(
            {"position " + std::to_string(value), withEntry(good, "filterBank", value)});
        malformed.push_back({"unknown symbol at " + std::to_string(value),
                             recordV2({{"futureKnob", value}, {"masterDrive", 0.5f}})});
    }
    malformed.push_back({"bypass 0.5", withEntry(good, "bypass", 0.5f)});
    std::vector<double> positions = before;
    malformed.push_back({"version 1, bypass 2", [&] {
                             Bytes v1 = recordV1(positions, false);
                             v1[88] = 2;
                             return v1;
                         }()});
    positions[param::release] = 1.5;
    malformed.push_back({"version 1, position 1.5", recordV1(positions, false)});
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
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(static_cast<std::uint8_t>(value >> shift));
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

// Every record the plug-in reads: the controller shows what it holds, a
// parameter it does not name keeps its default, the bypass is as recorded
// (off after VST 2 data, which has none), and the sound is the VST 2
// plug-in's at those positions.
TEST(Vst3State, EveryRecordLoads) {
    const Stereo signal = testhost::burstSignal(4000);
    std::vector<host::Program> programs;
    for (std::size_t n = 0; n < 2; ++n) {
        testhost::Plugin vst2;
        for (const auto& [index, position] : randomSetting(n)) vst2.setParameter(index, position);
        programs.push_back(host::captureProgram(vst2));
    }
    const auto positionsOf = [](const host::Program& program) {
        return std::vector<double>(program.parameters.begin(), program.parameters.end());
    };
    Instance untouched;
    const std::vector<double> defaults = shown(untouched);
    const std::vector<double> held = positionsOf(programs[1]);
    const auto entriesAt = [](const std::vector<double>& positions) {
        Entries entries;
        for (std::size_t i = 0; i < positions.size(); ++i) {
            entries.emplace_back(effect::param::kIdentifiers[i], static_cast<float>(positions[i]));
        }
        return entries;
    };
    // Without the release, and with two entries of a later version around it.
    Entries partial = entriesAt(held);
    partial.erase(partial.begin() + param::release);
    partial.insert(partial.begin() + 2, {"futureKnob", 0.25f});
    partial.push_back({"bypass", 1.0f});
    partial.push_back({"anotherFutureKnob", 1.0f});
    std::vector<double> partialPositions = held;
    partialPositions[param::release] = defaults[param::release];

    struct Row {
        std::string name;
        Bytes bytes;
        std::vector<double> positions;
        bool bypass;
    };
    const std::vector<Row> rows = {
        {"version 1", recordV1(held, false), held, false},
        {"version 1, bypassed", recordV1(held, true), held, true},
        {"version 2 with unknown and missing symbols", recordV2(partial), partialPositions, true},
        {"VST 2 program (.fxp)", host::encodeProgram(programs[1]), held, false},
        {"VST 2 bank, version 1: its first program", bank(1, 1, programs), positionsOf(programs[0]),
         false},
        {"VST 2 bank, version 2: its current program", bank(2, 1, programs), held, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Instance instance;
        instance.queue(instance.parametersFlagged(kIsBypass).at(0), row.bypass ? 0.0 : 1.0);
        instance.render(signal, 512);
        ASSERT_EQ(instance.restore(row.bytes), kResultOk);
        EXPECT_EQ(shown(instance), row.positions);
        EXPECT_EQ(entry(instance.state(), "bypass"), row.bypass ? 1.0f : 0.0f);
        if (row.bypass) continue;
        Instance fresh;
        ASSERT_EQ(fresh.restore(row.bytes), kResultOk);
        EXPECT_EQ(fresh.render(signal, 512), vst2RenderAt(row.positions, signal));
    }
}

}  // namespace
