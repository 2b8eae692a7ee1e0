#include "HostTestSupport.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "PluginHarness.h"

namespace host::test {

namespace fs = std::filesystem;

void ScratchFolder::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::temp_directory_path() /
              ("tessel-host-test-" + std::to_string(getpid()) + "-" + info->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
}

void ScratchFolder::TearDown() {
    fs::remove_all(folder_);
}

std::vector<std::string> ScratchFolder::contents() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

namespace {

std::string quote(const std::string& word) {
    std::string quoted = "'";
    for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string slurp(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

CommandResult runHost(const std::vector<std::string>& arguments, const std::string& scratch,
                      const std::string& program) {
    std::string command = quote(program);
    for (const auto& argument : arguments) command += " " + quote(argument);
    const std::string out = scratch + "/.stdout";
    const std::string err = scratch + "/.stderr";
    command += " >" + quote(out) + " 2>" + quote(err);
    const int status = std::system(command.c_str());
    const int exitCode = WIFEXITED(status)     ? WEXITSTATUS(status)
                         : WIFSIGNALED(status) ? 128 + WTERMSIG(status)
                                               : -1;
    CommandResult result{exitCode, slurp(out), slurp(err)};
    fs::remove(out);
    fs::remove(err);
    return result;
}

AudioBuffer sineSignal(std::size_t channels, std::size_t frames, double sampleRate) {
    AudioBuffer audio;
    audio.sampleRate = sampleRate;
    for (std::size_t c = 0; c < channels; ++c) {
        audio.channels.push_back(
            testhost::sine(220.0 * static_cast<double>(c + 1), 0.5, frames, sampleRate));
    }
    return audio;
}

}  // namespace host::test
