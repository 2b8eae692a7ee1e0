// The tessel-host program end to end: exit codes, messages and files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <fstream>
#include <iterator>
#include <map>

#include "AudioFile.h"
#include "Bench.h"
#include "HostError.h"
#include "HostTestSupport.h"

namespace host::test {
namespace {

class CommandLine : public ScratchFolder {
  protected:
    CommandResult host(const std::vector<std::string>& arguments) {
        return runHost(arguments, folder_.string());
    }
};

bool isOneErrorLine(const std::string& err) {
    return err.rfind("tessel-host: error: ", 0) == 0 &&
           std::count(err.begin(), err.end(), '\n') == 1;
}

TEST_F(CommandLine, BrokenPlugInsFailCleanlyWithoutOutput) {
    for (const std::string& plugin :
         {kNoEntry, kNullEntry, kWrongMagic, kEmptyEntries, file("missing.so")}) {
        for (const std::string command : {"info", "render"}) {
            std::vector<std::string> arguments = {command, plugin};
            if (command == "render") arguments.push_back(file("out.wav"));
            const CommandResult result = host(arguments);
            EXPECT_EQ(result.exitCode, 1) << command << " " << plugin;
            EXPECT_TRUE(isOneErrorLine(result.err)) << result.err;
            EXPECT_TRUE(contents().empty()) << command << " " << plugin << " left a file";
        }
    }
}

TEST_F(CommandLine, RenderWritesTheFileAndReportsLevels) {
    const CommandResult result = host(
        {"render", kTestEffect, file("demo.wav"), "--seconds", "1", "--set", "Gain=-6", "--quiet"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("set Gain = -6.00 dB"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("input:  built-in demo"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("peak   -9.0 dBFS"), std::string::npos) << result.out;
    EXPECT_EQ(readAudioFile(file("demo.wav")).frames(), 48000u);
    EXPECT_EQ(contents(), std::vector<std::string>{"demo.wav"});
}

// The test effect at 0 dB with its latency compensated passes audio unchanged.
TEST_F(CommandLine, RendersAMonoWavFileIntoBothChannels) {
    const AudioBuffer mono = sineSignal(1, 5000, 44100.0);
    writeAudioFile(file("mono.wav"), mono, SampleFormat::Float);
    const CommandResult result = host({"render", kTestEffect, file("mono.wav"), file("out.wav")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const AudioBuffer output = readAudioFile(file("out.wav"));
    EXPECT_EQ(output.sampleRate, 44100.0);
    ASSERT_EQ(output.channelCount(), 2u);
    EXPECT_EQ(output.channels[0], mono.channels[0]);
    EXPECT_EQ(output.channels[1], mono.channels[0]);
}

TEST_F(CommandLine, FailedRenderLeavesNoPartialFileAndKeepsAnOldOne) {
    const std::vector<std::vector<std::string>> failures = {
        {"--set", "Gain=99"},
        {"--set", "Nothing=1"},
        {"--format", "float"},  // FLAC cannot hold floats
        {"--block", "0"},
    };
    for (const auto& failure : failures) {
        std::vector<std::string> arguments = {"render", kTestEffect, file("out.flac"), "--seconds",
                                              "0.2"};
        arguments.insert(arguments.end(), failure.begin(), failure.end());
        const CommandResult result = host(arguments);
        EXPECT_NE(result.exitCode, 0) << failure[1];
        EXPECT_TRUE(contents().empty()) << failure[1];
    }
    { std::ofstream(file("keep.wav")) << "older result"; }
    EXPECT_NE(host({"render", kTestEffect, file("keep.wav"), "--overwrite", "--set", "Shape=Weird"})
                  .exitCode,
              0);
    std::ifstream kept(file("keep.wav"));
    std::string text;
    std::getline(kept, text);
    EXPECT_EQ(text, "older result");
    EXPECT_EQ(contents(), std::vector<std::string>{"keep.wav"});
}

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// No command replaces a file the user did not name for overwriting, or a file
// at all before its work is complete: every form of naming an output, with the
// exit status, the message and what is on disk afterwards.
TEST_F(CommandLine, NoCommandLosesAFile) {
    enum Outcome { Kept, Replaced, Created };
    struct Case {
        std::vector<std::string> arguments;  // "@name" is a file in the scratch folder
        int status;
        std::string err;  // a part of stderr
        std::vector<std::pair<std::string, Outcome>> files;
    };
    const std::vector<Case> cases = {
        {{"render", kTestEffect, "@old.wav"},
         2,
         "to replace it with the rendered demo",
         {{"old.wav", Kept}}},
        {{"render", kTestEffect, "@old.wav", "--overwrite"}, 0, "", {{"old.wav", Replaced}}},
        {{"render", kTestEffect, "@in.wav", "@old.wav"},
         2,
         "old.wav' exists: add --overwrite",
         {{"in.wav", Kept}, {"old.wav", Kept}}},
        {{"render", kTestEffect, "@in.wav", "@old.wav", "--overwrite"},
         0,
         "",
         {{"in.wav", Kept}, {"old.wav", Replaced}}},
        {{"render", kTestEffect, "@in.wav", "@new.wav", "--save-preset", "@old.wav"},
         2,
         "old.wav' exists",
         {{"in.wav", Kept}, {"old.wav", Kept}}},
        {{"render", kTestEffect, "@in.wav", "@new.wav", "--save-preset", "@./new.wav"},
         2,
         "new.wav' is named twice as an output",
         {{"in.wav", Kept}}},
        {{"render", kTestEffect, "@in.wav", "@./in.wav"},
         2,
         "in.wav' is the input",
         {{"in.wav", Kept}}},
        {{"render", kTestEffect, "@in.wav", "@in.wav", "--overwrite", "--set", "Gain=-6"},
         0,
         "",
         {{"in.wav", Replaced}}},
        {{"render", kTestEffect, "@in.wav", "@link.wav"},
         2,
         "link.wav' is the input",
         {{"in.wav", Kept}, {"link.wav", Kept}}},
        {{"render", kTestEffect, "@in.wav", "@link.wav", "--overwrite", "--set", "Gain=-6"},
         0,
         "",
         {{"in.wav", Replaced}, {"link.wav", Replaced}}},
        {{"render", kTestEffect, "@in.wav", "/proc/self/out.wav"},
         1,
         "cannot write",
         {{"in.wav", Kept}}},
        {{"render", kInterrupting, "@in.wav", "@old.wav", "--overwrite"},
         128 + SIGTERM,
         "",
         {{"in.wav", Kept}, {"old.wav", Kept}}},
        {{"render", kInterrupting, "@in.wav", "@new.wav"}, 128 + SIGTERM, "", {{"in.wav", Kept}}},
        {{"save-preset", kTestEffect, "@old.wav"}, 2, "old.wav' exists", {{"old.wav", Kept}}},
        {{"demo-signal", "@old.wav", "--seconds", "0.1"},
         2,
         "old.wav' exists",
         {{"old.wav", Kept}}},
        {{"plot", "--out", "@"}, 2, "exists: add --overwrite", {{"filter-banks.svg", Kept}}},
        {{"plot", "--out", "@", "--overwrite"},
         0,
         "",
         {{"filter-banks.svg", Replaced}, {"compressor-curves.svg", Created}}},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        writeAudioFile(file("in.wav"), sineSignal(2, 4800), SampleFormat::Float);
        std::filesystem::create_symlink("in.wav", file("link.wav"));
        { std::ofstream(file("old.wav")) << "older result"; }
        { std::ofstream(file("filter-banks.svg")) << "older plot"; }
        std::map<std::string, std::string> before;
        for (const std::string& name : contents()) before[name] = bytesOf(file(name));

        std::vector<std::string> arguments;
        std::string words;
        for (const std::string& word : c.arguments) {
            arguments.push_back(word[0] == '@' ? file(word.substr(1)) : word);
            words += " " + word;
        }
        const CommandResult result = host(arguments);
        EXPECT_EQ(result.exitCode, c.status) << words << "\n" << result.err;
        EXPECT_NE(result.err.find(c.err), std::string::npos) << words << "\n" << result.err;
        if (c.status == 1 || c.status == 2) {
            EXPECT_TRUE(isOneErrorLine(result.err)) << words << "\n" << result.err;
        }

        std::map<std::string, Outcome> expected;
        for (const auto& [name, outcome] : c.files) {
            expected[name] = outcome;
            const std::string now = bytesOf(file(name));
            EXPECT_EQ(now == before[name], outcome == Kept) << words << ": " << name;
            if (outcome != Kept && name.find(".wav") != std::string::npos) {
                EXPECT_NO_THROW(readAudioFile(file(name))) << words << ": " << name;
            }
        }
        EXPECT_TRUE(std::filesystem::is_symlink(file("link.wav"))) << words;
        // Nothing appeared but what the command was asked to write: no temporary file.
        for (const std::string& name : contents()) {
            EXPECT_TRUE(before.count(name) > 0 || expected[name] == Created)
                << words << " left " << name;
        }
    }
}

// Bad words on the command line, in numbers or in side files: each is one
// error line and a non-zero exit, and nothing is written.
TEST_F(CommandLine, BadArgumentsGiveOneErrorLineAndNoFile) {
    const std::string out = file("out.wav");
    const std::vector<std::vector<std::string>> cases = {
        {"render", kTestEffect},  // no OUT
        {"render", kTestEffect, out, "--bogus"},
        {"render", kTestEffect, out, "--rate", "0"},
        {"render", kTestEffect, out, "--rate", "nan"},
        {"render", kTestEffect, out, "--seconds", "-1"},
        {"render", kTestEffect, out, "--seconds", "1e20"},
        {"render", kTestEffect, out, "--block", "-5"},
        {"render", kTestEffect, out, "--seconds", "0.1", "--save-preset", file("no/p.fxp")},
        {"demo-signal", out, "--rate", "0"},
        {"demo-signal", out, "--seconds", "1e12"},
        {"info", kTestEffect, "--rate", "-1"},
        {"info", kTestEffect, "--preset", folder_.string()},
        {"info", kTestEffect, "--preset", "/dev/zero"},
        {"bench", "--seconds", "0.1", "--rate", "-5", kTestEffect},
        {"plot", "--out", folder_.string(), "--crossovers", "100,50,nan"},
        {"plot", "--out", folder_.string(), "--crossovers", "0,700,2000"},
        {"plot", "--out", folder_.string(), "--rate", "0"},
        {"info", file("plugin.unknown")},
        {"render", kTestEffect, out, "--at", "soon", "Gain=1"},
        {"render", kTestEffect, out, "--at", "0.1", "Nothing=1"},
        {"render", kTestEffect, out, "--meters-csv", file("no/m.csv")},
        {"render", kOurLv2, out, "--set-norm", "Clipping=1"},
        {"render", kOurVst3, out, "--set", "Filter bank=LP99"},
        {"render", kOurLv2, out, "--set", "Master Drive=61"},
        {"render", kOurVst3, out, "--preset", "Nothing"},
        {"render", kOurVst3, out, "--accumulate"},
        {"render", kOurClap, out, "--save-preset", file("p.fxp")},
        {"save-preset", kOurLv2, file("p.fxp")},
        {"plot", "--meters", kTestEffect, "--out", folder_.string()},
    };
    for (const auto& arguments : cases) {
        std::string words;
        for (const auto& word : arguments) words += " " + word;
        const CommandResult result = host(arguments);
        EXPECT_NE(result.exitCode, 0) << words;
        EXPECT_TRUE(isOneErrorLine(result.err)) << words << "\n" << result.err;
        EXPECT_TRUE(contents().empty()) << words << " left a file";
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
}

// What the user's words mean for their files and the exit status: 2 for a
// command line refused before any work, 1 for a failure; an existing file given
// alone to render is kept unless --overwrite says otherwise.
TEST_F(CommandLine, RefusalsAndWarningsKeepFilesAndTellTheStatus) {
    const std::string kept = file("keep.wav");
    const std::string in = file("in.wav");
    const AudioBuffer sine = sineSignal(2, 4800);
    writeAudioFile(in, sine, SampleFormat::Float);
    // At +12 dB (position 0.75) the test effect drives the sine past full scale.
    std::size_t beyondFullScale = 0;
    for (const auto& channel : sine.channels) {
        for (const float sample : channel) {
            beyondFullScale += std::fabs(sample * std::pow(10.0f, 12.0f / 20.0f)) > 1.0f;
        }
    }
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string err;  // a part of stderr
        bool keptIntact;
    };
    const std::vector<Case> cases = {
        {{"frobnicate", kTestEffect}, 2, "unknown command 'frobnicate'", true},
        {{}, 2, "error: ", true},
        {{"render", kTestEffect, kept},
         2,
         "to replace it with the rendered demo, add --overwrite",
         true},
        {{"render", kTestEffect, kept, "--block", "0"}, 2, "--block", true},
        {{"render", kTestEffect, in, file("o.wav"), kept}, 2, "FILES", true},
        {{"render", kTestEffect, in, kept, "--bogus"}, 2, "--bogus", true},
        {{"render", kTestEffect, kept, file("o.wav")}, 1, kept, true},
        {{"info", kTestEffect, "--set", "Nothing=1"}, 1, "Nothing", true},
        {{"render", kTestEffect, kept, "--overwrite", "--seconds", "0.1", "-q"}, 0, "", false},
        {{"render", kTestEffect, in, file("o.wav"), "--rate", "96000", "-q"},
         0,
         "warning: --rate applies to the built-in demo only",
         true},
        {{"render", kTestEffect, in, file("o16.wav"), "--format", "16", "--set-norm", "Gain=0.75",
          "-q"},
         0,
         "warning: " + std::to_string(beyondFullScale) + " samples beyond full scale were clipped",
         true},
        {{"plot", "--out", file("new/plots")}, 0, "", true},
    };
    for (const Case& c : cases) {
        std::string words;
        for (const auto& word : c.arguments) words += " " + word;
        { std::ofstream(kept) << "older result"; }
        const CommandResult result = host(c.arguments);
        EXPECT_EQ(result.exitCode, c.status) << words << "\n" << result.err;
        EXPECT_NE(result.err.find(c.err), std::string::npos) << words << "\n" << result.err;
        std::ifstream old(kept);
        std::string text;
        std::getline(old, text);
        EXPECT_EQ(text == "older result", c.keptIntact) << words;
    }
    EXPECT_GT(beyondFullScale, 0u);
    EXPECT_TRUE(std::filesystem::exists(file("new/plots/filter-banks.svg")));
}

// FLAC holds integers, so its default sample format is 24-bit whatever the
// extension's case.
TEST_F(CommandLine, FlacExtensionInAnyCaseDefaultsToIntegerSamples) {
    for (const std::string name : {"a.flac", "b.FLAC", "c.Flac"}) {
        const CommandResult result =
            host({"render", kTestEffect, file(name), "--seconds", "0.1", "--quiet"});
        EXPECT_EQ(result.exitCode, 0) << name << ": " << result.err;
        EXPECT_EQ(readAudioFile(file(name)).frames(), 4800u) << name;
    }
}

TEST_F(CommandLine, InfoShowsTheRecordAndEveryParameter) {
    const CommandResult result = host({"info", kTestEffect, "--set-norm", "Shape=1"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    for (const char* expected :
         {"format:        VST 2", "name:          Test Gain", "unique id:     Test (0x54657374)",
          "flags:         replacing", "latency:       7 samples",
          "\n1   Shape   Hard     Soft               1           Soft, Medium, Hard\n",
          "\n0   Gain    0.00 dB  0.00     dB        0.5         -24.00 to 24.00 dB\n"}) {
        EXPECT_NE(result.out.find(expected), std::string::npos) << expected << "\n" << result.out;
    }
}

TEST_F(CommandLine, SavedPresetRestoresTheSettings) {
    ASSERT_EQ(
        host({"save-preset", kTestEffect, file("p.fxp"), "--set", "Gain=4.5", "--set", "Invert=on"})
            .exitCode,
        0);
    const CommandResult result = host({"info", kTestEffect, "--preset", file("p.fxp")});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("\n0   Gain    4.50 dB"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("\n2   Invert  on "), std::string::npos) << result.out;
    const CommandResult wrong = host({"info", kTestEffect, "--preset", file("missing.fxp")});
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_TRUE(isOneErrorLine(wrong.err)) << wrong.err;
}

// The host's earlier name is a link to it: the same renders, its own name in
// what it prints.
TEST_F(CommandLine, TheEarlierNameRunsTheSameHost) {
    const CommandResult version = runHost({"--version"}, folder_.string(), kHostAlias);
    EXPECT_EQ(version.out.rfind("vst2-host ", 0), 0u) << version.out;
    const CommandResult refused =
        runHost({"info", file("missing.so")}, folder_.string(), kHostAlias);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err.rfind("vst2-host: error: ", 0), 0u) << refused.err;
    for (const std::string& program : {kHostProgram, kHostAlias}) {
        const std::string out = file(std::filesystem::path(program).filename().string() + ".wav");
        const CommandResult result =
            runHost({"render", kTestEffect, out, "--seconds", "0.2", "--set", "Gain=-3"},
                    folder_.string(), program);
        ASSERT_EQ(result.exitCode, 0) << program << ": " << result.err;
    }
    EXPECT_EQ(readAudioFile(file("vst2-host.wav")).channels,
              readAudioFile(file("tessel-host.wav")).channels);
}

TEST_F(CommandLine, BenchPrintsOneRowPerPlugIn) {
    const CommandResult result = host({"bench", "--seconds", "0.2", "--rounds", "3", kTestEffect,
                                       "--set", "Gain=3", kTestEffect});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("A  Test Gain (VST 2, libtest_effect.so): Gain = 3.00 dB\n"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("B  Test Gain (VST 2, libtest_effect.so): default settings\n"),
              std::string::npos)
        << result.out;
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 2 + 3 + 2) << result.out;
    EXPECT_NE(result.out.find("1.00\n"), std::string::npos) << "A's ratio to itself";
}

// The null test's verdicts: 0 match, 1 differ, 2 could not compare.
TEST_F(CommandLine, CompareTellsMatchDifferenceAndFailure) {
    const AudioBuffer original = sineSignal(2, 1000);
    AudioBuffer nudged = original;
    nudged.channels[1][300] += 1e-3f;
    AudioBuffer late = original;  // 7 frames of silence ahead
    for (auto& channel : late.channels) channel.insert(channel.begin(), 7, 0.0f);
    writeAudioFile(file("a.wav"), original, SampleFormat::Float);
    writeAudioFile(file("same.wav"), original, SampleFormat::Float);
    writeAudioFile(file("nudged.wav"), nudged, SampleFormat::Float);
    writeAudioFile(file("late.wav"), late, SampleFormat::Float);
    writeAudioFile(file("mono.wav"), sineSignal(1, 1000), SampleFormat::Float);
    { std::ofstream(file("text.wav")) << "not audio"; }

    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
        std::string expected;  // in the report, or in the error line
    };
    const std::vector<Case> cases = {
        {{"same.wav"}, 0, "identical:    yes, bit for bit"},
        {{"nudged.wav"}, 1, "first diff:   frame 300 of A"},
        {{"nudged.wav", "--max-diff", "-50dB"}, 0, "channel 2: 0.001 (-60.0 dBFS)"},
        {{"nudged.wav", "--max-diff", "0.0005"}, 1, "result:       differ"},
        {{"late.wav"}, 1, "identical:    no"},
        {{"late.wav", "--offset", "7"}, 0, "1000 frames, frame i of A with frame i+7 of B"},
        {{"missing.wav"}, 2, "missing.wav"},
        {{"text.wav"}, 2, "text.wav"},
        {{"mono.wav"}, 2, "1 channel"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = {"compare", file("a.wav"), file(c.arguments[0])};
        arguments.insert(arguments.end(), c.arguments.begin() + 1, c.arguments.end());
        const CommandResult result = host(arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments[0] << "\n"
                                               << result.out << result.err;
        EXPECT_NE((result.out + result.err).find(c.expected), std::string::npos)
            << c.expected << "\n"
            << result.out << result.err;
        if (c.exitCode == 2) {
            EXPECT_TRUE(isOneErrorLine(result.err)) << result.err;
        }
    }
}

TEST(BenchEntries, GroupSettingsWithThePlugInBeforeThem) {
    const auto entries = parseBenchEntries(
        {"a.so", "--set", "X=1", "--set-norm=Y=0.5", "b.so", "--preset", "p.fxp", "c.so"});
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].path, "a.so");
    ASSERT_EQ(entries[0].settings.size(), 2u);
    EXPECT_FALSE(entries[0].settings[0].normalised);
    EXPECT_EQ(entries[0].settings[1].parameter, "Y");
    EXPECT_TRUE(entries[0].settings[1].normalised);
    EXPECT_EQ(entries[1].preset, "p.fxp");
    EXPECT_TRUE(entries[2].settings.empty());

    EXPECT_THROW(parseBenchEntries({}), HostError);
    EXPECT_THROW(parseBenchEntries({"--set", "X=1", "a.so"}), HostError);
    EXPECT_THROW(parseBenchEntries({"a.so", "--set"}), HostError);
    EXPECT_THROW(parseBenchEntries({"a.so", "--volume", "3"}), HostError);
}

}  // namespace
}  // namespace host::test
