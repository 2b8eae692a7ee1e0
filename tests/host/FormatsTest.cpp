// Our plug-in through the host in every face it has: each renders exactly as
// the VST 2 face does at the same settings, and the faces that have meters
// report the same gain reductions, after every block.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "AudioFile.h"
#include "HostTestSupport.h"
#include "PluginHarness.h"
#include "Vst3Module.h"
#include "Vst3PresetFile.h"

namespace host::test {
namespace {

struct Face {
    const char* name;
    std::string location;
    bool presets;  // the format offers the host our factory presets
};

const std::vector<Face>& facesWithMeters() {
    static const std::vector<Face> faces = {
        {"VST 3", kOurVst3, true}, {"LV2", kOurLv2, true}, {"CLAP", kOurClap, false}};
    return faces;
}

struct SettingRow {
    const char* name;
    std::vector<std::string> arguments;
    bool preset = false;  // loads a factory preset
};

// Settings whose texts every face maps to the same position: choices,
// switches, the ends of ranges and their middles.
const std::vector<SettingRow>& settingRows() {
    static const std::vector<SettingRow> rows = {
        {"defaults", {}},
        {"heavy",
         {"--set", "Master Drive=60", "--set", "Filter bank=LP12 up", "--set", "Compressor mode=B",
          "--set", "Clipping=on", "--set", "Clip hard<>soft=50", "--set", "Band 0 drive adjust=20",
          "--set", "Stereo separation=0"}},
        {"changes within blocks",
         {"--at", "0.5", "Master Drive=60", "--at", "1.23", "Filter bank=LP18 dn", "--at", "1.5001",
          "Clipping=on"}},
        {"a factory preset and a setting on it",
         {"--preset", "Drum-bus punch", "--set", "Compressor mode=B"},
         true},
    };
    return rows;
}

class Formats : public ScratchFolder {
  protected:
    AudioBuffer renderThrough(const std::string& location, const SettingRow& row,
                              const std::string& output, std::vector<std::string> extra = {}) {
        std::vector<std::string> arguments = {"render", location,  file(output), "--seconds",
                                              "2",      "--quiet", "--overwrite"};
        arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        const CommandResult result = runHost(arguments, folder_.string());
        EXPECT_EQ(result.exitCode, 0) << location << ": " << result.err;
        return readAudioFile(file(output));
    }
};

TEST_F(Formats, EveryFaceRendersLikeVst2BitForBit) {
    for (const SettingRow& row : settingRows()) {
        SCOPED_TRACE(row.name);
        const AudioBuffer vst2 = renderThrough(testhost::pluginPath(), row, "vst2.wav");
        for (const Face& face : facesWithMeters()) {
            if (row.preset && !face.presets) continue;
            const AudioBuffer other = renderThrough(face.location, row, "other.wav");
            EXPECT_TRUE(other.channels == vst2.channels) << face.name;
        }
    }
}

std::vector<std::vector<double>> readCsv(const std::string& path, std::string& header) {
    std::ifstream in(path);
    std::getline(in, header);
    std::vector<std::vector<double>> rows;
    for (std::string line; std::getline(in, line);) {
        std::vector<double> row;
        std::stringstream fields(line);
        for (std::string field; std::getline(fields, field, ',');) row.push_back(std::stod(field));
        rows.push_back(row);
    }
    return rows;
}

// Each block's row holds its start time and the four gain reductions; the
// faces agree to the precision of VST 3's normalized values.
TEST_F(Formats, MetersOfEveryFaceAgreeBlockByBlock) {
    const SettingRow& heavy = settingRows()[1];
    std::vector<std::vector<std::vector<double>>> tables;
    for (const Face& face : facesWithMeters()) {
        const std::string csv = file(std::string(face.name) + ".csv");
        renderThrough(face.location, heavy, "out.wav", {"--meters-csv", csv});
        std::string header;
        tables.push_back(readCsv(csv, header));
        ASSERT_EQ(tables.back().size(), tables.front().size()) << face.name;
        EXPECT_EQ(std::count(header.begin(), header.end(), ','), 4) << face.name << ": " << header;
        ASSERT_EQ(tables.back().size(), (96000u + 511u) / 512u) << face.name;
    }
    double deepest = 0.0;
    for (std::size_t block = 0; block < tables[0].size(); ++block) {
        ASSERT_EQ(tables[0][block].size(), 5u);
        EXPECT_NEAR(tables[0][block][0], static_cast<double>(block) * 512.0 / 48000.0, 1e-6);
        for (std::size_t face = 1; face < tables.size(); ++face) {
            for (std::size_t column = 1; column < 5; ++column) {
                EXPECT_NEAR(tables[0][block][column], tables[face][block][column], 1e-5)
                    << facesWithMeters()[face].name << ", block " << block << ", meter " << column;
                deepest = std::min(deepest, tables[face][block][column]);
            }
        }
    }
    EXPECT_LT(deepest, -6.0) << "a drive of 60 dB compresses";
}

void appendLittleEndian(std::string& bytes, std::uint64_t value, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) bytes += static_cast<char>(value >> (8 * i));
}

// A preset file as VST 3 hosts write one: header, the component's state, the chunk list.
std::string presetFile(const std::string& classId, const std::vector<std::uint8_t>& state) {
    std::string bytes = "VST3";
    appendLittleEndian(bytes, 1, 4);
    bytes += classId;
    appendLittleEndian(bytes, 48 + state.size(), 8);
    bytes.append(state.begin(), state.end());
    bytes += "List";
    appendLittleEndian(bytes, 1, 4);
    bytes += "Comp";
    appendLittleEndian(bytes, 48, 8);
    appendLittleEndian(bytes, state.size(), 8);
    return bytes;
}

// A VST 3 preset file of our plug-in sets what it saved; one of another
// plug-in, or a damaged one, is refused with the reason.
TEST_F(Formats, Vst3PresetFileSetsWhatItSaved) {
    std::string classId;
    std::vector<std::uint8_t> state;
    {
        vst3host::Module module(vst3host::bundleLibrary(kOurVst3));
        vst3host::Instance instance(module, 48000.0, 512);
        instance.queue(param::filterBank, 8.0 / 11.0);
        instance.queue(param::clipOnOff, 1.0);
        instance.queue(param::compressorMode, 1.0);
        instance.process(nullptr, nullptr, 0);
        classId = host::classIdText(instance.classInfo().cid.bytes);
        state = instance.state();
    }
    const std::string good = presetFile(classId, state);
    std::string otherClass = good;
    otherClass[8] = otherClass[8] == '0' ? '1' : '0';
    const std::vector<std::pair<std::string, std::string>> refused = {
        {otherClass, "a preset of another plug-in"},
        {good.substr(0, good.size() - 10), "damaged"},
        {"VST3", "damaged"}};
    for (const auto& [bytes, why] : refused) {
        std::ofstream(file("bad.vstpreset"), std::ios::binary) << bytes;
        const CommandResult result =
            runHost({"render", kOurVst3, file("bad.wav"), "--preset", file("bad.vstpreset")},
                    folder_.string());
        EXPECT_EQ(result.exitCode, 1) << why;
        EXPECT_NE(result.err.find(why), std::string::npos) << result.err;
    }
    std::ofstream(file("saved.vstpreset"), std::ios::binary) << good;
    const AudioBuffer loaded =
        renderThrough(kOurVst3, {"preset", {"--preset", file("saved.vstpreset")}}, "vst3.wav");
    const AudioBuffer set = renderThrough(
        testhost::pluginPath(),
        {"set",
         {"--set", "Filter bank=LP12 up", "--set", "Clipping=on", "--set", "Compressor mode=B"}},
        "vst2.wav");
    EXPECT_TRUE(loaded.channels == set.channels);
    EXPECT_FALSE(loaded.channels ==
                 renderThrough(kOurVst3, settingRows()[0], "default.wav").channels);
}

// The picture: the waveform's outline (input and output, above and below
// zero) and one line per meter, each named in the legend.
TEST_F(Formats, PlotDrawsEveryMeterUnderTheWaveform) {
    const CommandResult result =
        runHost({"plot", "--meters", kOurClap, "--out", folder_.string(), "--set", "Clipping=on"},
                folder_.string());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::ifstream in(file("meters.svg"));
    const std::string svg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t lines = 0;
    for (auto at = svg.find("<polyline"); at != std::string::npos;
         at = svg.find("<polyline", at + 1)) {
        ++lines;
    }
    EXPECT_EQ(lines, 4u + 4u);
    for (const char* name : {"input", "output", "Band 0 gain reduction", "Band 3 gain reduction"}) {
        EXPECT_NE(svg.find(std::string(">") + name + "<"), std::string::npos) << name;
    }
}

}  // namespace
}  // namespace host::test
