// libFuzzer target: the files a user hands the command-line host. The first
// byte chooses the reader (bit 1 set: VST 3 preset file; else even: program
// file, odd: audio file through libsndfile); the rest is the file's content,
// read through the same path the host opens, from a memory-backed file.
//
// A run fails on a crash, on any sanitizer report, on any failure other than
// the host's own error (an allocation failure or a length error included), on
// an error message that is not one line, and on audio that breaks the
// reader's promises: one or two channels of equal length, at least one frame,
// at most the longest length, a rate within the host's bounds; and on a preset
// whose class ID is not 32 hex digits.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "AudioFile.h"
#include "HostError.h"
#include "ProgramFile.h"
#include "Vst3PresetFile.h"

namespace {

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "host_files_fuzzer: %s\n", what.c_str());
    std::abort();
}

// One memory-backed file for the whole run, rewritten for each input.
const std::string& scratchFile(const std::uint8_t* data, std::size_t size) {
    static const int descriptor = memfd_create("host-file", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(descriptor);
    if (descriptor < 0 || ftruncate(descriptor, 0) != 0) fail("cannot make the scratch file");
    std::size_t written = 0;
    while (written < size) {
        const ssize_t n = pwrite(descriptor, data + written, size - written,
                                 static_cast<off_t>(written));
        if (n <= 0) fail("cannot write the scratch file");
        written += static_cast<std::size_t>(n);
    }
    return path;
}

void checkAudio(const host::AudioBuffer& audio) {
    const std::size_t channels = audio.channelCount();
    if (channels < 1 || channels > 2) fail("audio with " + std::to_string(channels) + " channels");
    if (audio.channels.back().size() != audio.frames()) fail("channels of unequal length");
    if (audio.frames() == 0) fail("audio without frames");
    if (!(audio.sampleRate >= host::kMinSampleRate && audio.sampleRate <= host::kMaxSampleRate)) {
        fail("audio at " + std::to_string(audio.sampleRate) + " Hz");
    }
    if (static_cast<double>(audio.frames()) > host::kMaxSeconds * audio.sampleRate) {
        fail("audio longer than the host renders");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string& path = scratchFile(data + 1, size - 1);
    try {
        if ((data[0] & 2) != 0) {
            const host::Vst3Preset preset = host::readVst3Preset(path);
            if (preset.classId.size() != 32) fail("a class ID of " + preset.classId);
        } else if ((data[0] & 1) == 0) {
            host::readProgramFile(path);
        } else {
            checkAudio(host::readAudioFile(path));
        }
    } catch (const host::HostError& error) {
        const std::string message = error.what();
        if (message.empty() || message.find('\n') != std::string::npos) {
            fail("not a one-line error: " + message);
        }
    } catch (const std::exception& error) {
        fail(std::string("failure other than the host's error: ") + error.what());
    }
    return 0;
}
