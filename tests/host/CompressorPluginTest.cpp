// The host against our own plug-in, TesselCompressor.so.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "DemoSignal.h"
#include "HostError.h"
#include "HostTestSupport.h"
#include "InfoReport.h"
#include "ParameterSetter.h"
#include "PluginHarness.h"
#include "ProgramFile.h"
#include "Renderer.h"
#include "SettingTable.h"

namespace host::test {
namespace {

const std::string kCompressor = testhost::pluginPath();

TEST(CompressorPlugin, ReportsItselfThroughTheInterface) {
    PluginInstance plugin(kCompressor, 48000.0, 512);
    EXPECT_EQ(plugin.effectName(), "Compressor");
    EXPECT_EQ(plugin.vendorName(), "Tessel @ Vantrelix");
    EXPECT_EQ(plugin.numInputs(), 2);
    EXPECT_EQ(plugin.numOutputs(), 2);
    EXPECT_EQ(plugin.numParams(), param::count);
    EXPECT_EQ(flagsInWords(plugin.flags()), "mono, replacing");
    EXPECT_EQ(plugin.initialDelay(), 0);
    EXPECT_EQ(plugin.parameterName(param::outAdjust3), "Band 3 out adjust");
}

TEST(CompressorPlugin, ParametersAreSetByNameAndDisplayValue) {
    struct Case {
        std::string setting;
        std::string display;
    };
    const Case cases[] = {
        {"Master Drive=12", "12"},
        {"master drive=-20", "-20"},
        {"Master Drive=60", "60"},
        {"Master Out=-3", "-3"},
        {"Release=250", "250"},
        {"Release=0", "0"},
        {"Stereo separation=80", "80"},
        {"Filter bank=LP12 up", "LP12 up"},
        {"Filter bank=tessel6b", "Tessel6B"},
        {"Filter bank=LP18 dn", "LP18 dn"},
        {"Listen to=Band 2", "Band 2"},
        {"Compressor mode=B", "B"},
        {"Clipping=on", "on"},
        {"Band 0-1 crossover=150", "150"},
        {"Band 2-3 crossover=20000", "20000"},
        {"Band 3 drive adjust=-6", "-6"},
    };
    PluginInstance plugin(kCompressor, 48000.0, 512);
    ParameterSetter setter(plugin);
    for (const Case& c : cases) {
        EXPECT_EQ(setter.apply(parseAssignment(c.setting, false)).display, c.display) << c.setting;
    }
    for (const char* unreachable : {"Master Drive=61", "Filter bank=LP24 up", "Clipping=maybe",
                                    "Band 0-1 crossover=10", "Drive=3"}) {
        EXPECT_THROW(setter.apply(parseAssignment(unreachable, false)), HostError) << unreachable;
    }
}

class CompressorPluginFiles : public ScratchFolder {};

TEST_F(CompressorPluginFiles, PresetRoundTripRestoresEveryParameter) {
    Program saved;
    {
        PluginInstance plugin(kCompressor, 48000.0, 512);
        ParameterSetter setter(plugin);
        for (const char* setting : {"Master Drive=18", "Filter bank=AP6B dn", "Clipping=on",
                                    "Release=40", "Band 1 out adjust=3.5", "Compressor mode=B"}) {
            setter.apply(parseAssignment(setting, false));
        }
        saved = captureProgram(plugin);
        writeProgramFile(file("heavy.fxp"), saved);
    }
    PluginInstance fresh(kCompressor, 48000.0, 512);
    applyProgram(fresh, readProgramFile(file("heavy.fxp")), "heavy.fxp");
    for (std::int32_t i = 0; i < param::count; ++i) {
        EXPECT_EQ(fresh.parameter(i), saved.parameters[static_cast<std::size_t>(i)]) << i;
    }
    EXPECT_EQ(fresh.parameterDisplay(param::filterBank), "AP6B dn");
    EXPECT_EQ(fresh.parameterDisplay(param::masterDrive), "18");
}

// --preset NAME gives our plug-in the factory preset's positions, and a
// program saved from it is the shipped program file of that preset; a name
// that is neither a preset nor a file is refused with the presets' names.
TEST_F(CompressorPluginFiles, FactoryPresetsByNameAreTheShippedProgramFiles) {
    std::string names;
    for (const testhost::SettingRow& preset : testhost::presetTable()) {
        SCOPED_TRACE(preset.name);
        names += (names.empty() ? "" : ", ") + preset.name;
        const std::string saved = file("saved.fxp");
        std::filesystem::remove(saved);
        const CommandResult result =
            runHost({"save-preset", kCompressor, saved, "--preset", preset.name}, folder_.string());
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const Program program = readProgramFile(saved);
        EXPECT_EQ(program.name, preset.name);
        for (const auto& [index, position] : preset.setting) {
            EXPECT_EQ(program.parameters.at(static_cast<std::size_t>(index)), position) << index;
        }
        EXPECT_EQ(encodeProgram(program),
                  encodeProgram(readProgramFile(VST2_PROGRAM_DIR "/" + preset.name + ".fxp")));
    }
    const CommandResult unknown = runHost(
        {"render", kCompressor, file("out.wav"), "--preset", "Mix bus glue"}, folder_.string());
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_NE(unknown.err.find("its presets: " + names + "\n"), std::string::npos) << unknown.err;
    EXPECT_EQ(contents(), std::vector<std::string>{"saved.fxp"});
}

AudioBuffer slice(const AudioBuffer& audio, double fromSeconds, double toSeconds) {
    AudioBuffer part;
    part.sampleRate = audio.sampleRate;
    const auto from = static_cast<std::ptrdiff_t>(fromSeconds * audio.sampleRate);
    const auto to = static_cast<std::ptrdiff_t>(toSeconds * audio.sampleRate);
    for (const auto& channel : audio.channels)
        part.channels.emplace_back(channel.begin() + from, channel.begin() + to);
    return part;
}

// The demo's first bar has no drums; the next bars are louder. Compression
// narrows the level step between them.
TEST(CompressorPlugin, RendersTheDemoAndNarrowsItsDynamics) {
    const AudioBuffer input = makeDemoSignal(48000.0, 4.0);
    PluginInstance plugin(kCompressor, 48000.0, 512);
    ParameterSetter(plugin).apply(parseAssignment("Master Drive=24", false));
    const AudioBuffer output = render(plugin, input, {512, false});
    ASSERT_EQ(output.frames(), input.frames());
    ASSERT_TRUE(std::isfinite(measureLevel(output).peakDb));
    const auto step = [](const AudioBuffer& audio) {
        return measureLevel(slice(audio, 2.5, 4.0)).rmsDb -
               measureLevel(slice(audio, 0.5, 2.0)).rmsDb;
    };
    EXPECT_LT(step(output), step(input) - 1.0);
}

// The accumulating entry adds what the replacing entry writes.
TEST(CompressorPlugin, AccumulateAddsWhatReplaceWrites) {
    const AudioBuffer input = makeDemoSignal(44100.0, 1.0);
    AudioBuffer replaced;
    AudioBuffer accumulated;
    for (const bool accumulate : {false, true}) {
        PluginInstance plugin(kCompressor, 44100.0, 300);
        ParameterSetter(plugin).apply(parseAssignment("Master Drive=20", false));
        (accumulate ? accumulated : replaced) = render(plugin, input, {300, accumulate});
    }
    for (std::size_t c = 0; c < 2; ++c) {
        for (std::size_t n = 0; n < input.frames(); ++n) {
            // One rounding of the sum with the input separates the two.
            ASSERT_NEAR(accumulated.channels[c][n] - input.channels[c][n], replaced.channels[c][n],
                        1e-6f)
                << "channel " << c << " frame " << n;
        }
    }
}

// Equal up to rounding: the plain gain law rounds its left and right gains
// in different orders.
TEST(CompressorPlugin, MonoInputGivesTwoEqualChannels) {
    AudioBuffer mono = makeDemoSignal(48000.0, 1.0);
    mono.channels.pop_back();
    PluginInstance plugin(kCompressor, 48000.0, 512);
    const AudioBuffer output = render(plugin, mono, {512, false});
    ASSERT_EQ(output.channelCount(), 2u);
    for (std::size_t n = 0; n < output.frames(); ++n) {
        ASSERT_NEAR(output.channels[0][n], output.channels[1][n], 1e-6f) << "frame " << n;
    }
}

}  // namespace
}  // namespace host::test
