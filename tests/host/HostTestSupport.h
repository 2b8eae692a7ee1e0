// Shared helpers of the host tests: paths of the libraries under test, a
// scratch folder, and running the tessel-host program.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "AudioBuffer.h"

namespace host::test {

inline const std::string kTestEffect = TEST_EFFECT_PATH;
inline const std::string kNoEntry = BROKEN_NO_ENTRY_PATH;
inline const std::string kNullEntry = BROKEN_NULL_ENTRY_PATH;
inline const std::string kWrongMagic = BROKEN_WRONG_MAGIC_PATH;
inline const std::string kEmptyEntries = BROKEN_EMPTY_ENTRIES_PATH;
inline const std::string kInterrupting = INTERRUPTING_PATH;
inline const std::string kHostProgram = HOST_PATH;
// The name of the host's first versions, a link beside it.
inline const std::string kHostAlias =
    (std::filesystem::path(HOST_PATH).parent_path() / "vst2-host").string();
// Our plug-in's other faces.
inline const std::string kOurVst3 = VST3_BUNDLE_PATH;
inline const std::string kOurLv2 = LV2_BUNDLE_PATH;
inline const std::string kOurClap = CLAP_PLUGIN_PATH;
inline const std::string kLspCompressor = "/usr/lib/vst/lsp-plugins/mb-compressor-stereo.so";
inline const std::string kZamCompressor = "/usr/lib/vst/ZaMultiCompX2-vst.so";

// A fresh folder per test, removed afterwards.
class ScratchFolder : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    std::string file(const std::string& name) const { return (folder_ / name).string(); }
    // Names of the files in the folder, hidden ones included.
    std::vector<std::string> contents() const;

    std::filesystem::path folder_;
};

struct CommandResult {
    int exitCode;  // 128 + the signal for a program the signal ended, as shells report it
    std::string out;
    std::string err;
};
// Runs tessel-host (or another program) with the arguments (each quoted for the shell).
CommandResult runHost(const std::vector<std::string>& arguments, const std::string& scratch,
                      const std::string& program = kHostProgram);

// A deterministic test signal: a sine per channel at different frequencies.
AudioBuffer sineSignal(std::size_t channels, std::size_t frames, double sampleRate = 48000.0);

}  // namespace host::test
