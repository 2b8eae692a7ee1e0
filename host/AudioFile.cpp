#include "AudioFile.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <vector>

#include "HostError.h"

namespace host {

namespace {

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileCloser>;

constexpr sf_count_t kChunkFrames = 8192;
// Frames reserved ahead of reading, at most: a minute at 48 kHz.
constexpr sf_count_t kReserveFrames = 48000 * 60;

std::string lowerExtension(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

int formatFor(const std::string& path, SampleFormat format) {
    const std::string extension = lowerExtension(path);
    int container = 0;
    if (extension == ".wav") {
        container = SF_FORMAT_WAV;
    } else if (extension == ".flac") {
        container = SF_FORMAT_FLAC;
        if (format == SampleFormat::Float) {
            throw HostError("FLAC holds integer samples only: write '" + path +
                            "' with --format 16 or 24, or as .wav");
        }
    } else {
        throw HostError("cannot write '" + path + "': the output must end in .wav or .flac");
    }
    switch (format) {
        case SampleFormat::Float:
            return container | SF_FORMAT_FLOAT;
        case SampleFormat::Pcm16:
            return container | SF_FORMAT_PCM_16;
        case SampleFormat::Pcm24:
            return container | SF_FORMAT_PCM_24;
    }
    return container;
}

}  // namespace

SampleFormat parseSampleFormat(const std::string& text) {
    if (text == "float") return SampleFormat::Float;
    if (text == "16") return SampleFormat::Pcm16;
    if (text == "24") return SampleFormat::Pcm24;
    throw HostError("unknown sample format '" + text + "': use float, 16 or 24");
}

AudioBuffer readAudioFile(const std::string& path) {
    SF_INFO info{};
    SndfileHandle file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file) {
        throw HostError("cannot read audio file '" + path + "': " + sf_strerror(nullptr));
    }
    if (info.channels < 1 || info.channels > 2) {
        throw HostError("'" + path + "' has " + std::to_string(info.channels) +
                        " channels; the host renders mono or stereo files only");
    }
    if (!(info.samplerate >= kMinSampleRate && info.samplerate <= kMaxSampleRate)) {
        throw HostError("'" + path + "' declares a sample rate of " +
                        std::to_string(info.samplerate) + " Hz; the host renders at " +
                        std::to_string(static_cast<int>(kMinSampleRate)) + " to " +
                        std::to_string(static_cast<int>(kMaxSampleRate)) + " Hz");
    }
    const auto channelCount = static_cast<std::size_t>(info.channels);
    const auto maxFrames = static_cast<std::size_t>(kMaxSeconds * info.samplerate);
    AudioBuffer audio;
    audio.sampleRate = info.samplerate;
    audio.channels.assign(channelCount, {});
    // The header's frame count is only a hint: a damaged file may claim any.
    const auto expected =
        static_cast<std::size_t>(std::clamp<sf_count_t>(info.frames, 0, kReserveFrames));
    for (auto& channel : audio.channels) channel.reserve(expected);

    std::vector<float> interleaved(static_cast<std::size_t>(kChunkFrames) * channelCount);
    for (;;) {
        const sf_count_t got = sf_readf_float(file.get(), interleaved.data(), kChunkFrames);
        if (got <= 0) break;
        if (audio.frames() + static_cast<std::size_t>(got) > maxFrames) {
            throw HostError("'" + path + "' is longer than the host renders (" +
                            std::to_string(static_cast<int>(kMaxSeconds)) + " s)");
        }
        for (std::size_t frame = 0; frame < static_cast<std::size_t>(got); ++frame) {
            for (std::size_t c = 0; c < channelCount; ++c) {
                audio.channels[c].push_back(interleaved[frame * channelCount + c]);
            }
        }
    }
    if (sf_error(file.get()) != SF_ERR_NO_ERROR) {
        throw HostError("error reading '" + path + "': " + sf_strerror(file.get()));
    }
    if (audio.frames() == 0) throw HostError("'" + path + "' holds no audio");
    return audio;
}

void writeAudioFile(OutputFile& output, const AudioBuffer& audio, SampleFormat format) {
    const std::string& path = output.targetPath();
    if (audio.channelCount() == 0) throw HostError("nothing to write to '" + path + "'");
    SF_INFO info{};
    info.samplerate = static_cast<int>(audio.sampleRate);
    info.channels = static_cast<int>(audio.channelCount());
    info.format = formatFor(path, format);
    if (sf_format_check(&info) == 0) {
        throw HostError("cannot write '" + path + "' in the requested format at " +
                        std::to_string(info.samplerate) + " Hz");
    }

    {
        SndfileHandle file(sf_open(output.temporaryPath().c_str(), SFM_WRITE, &info));
        if (!file) {
            throw HostError("cannot create '" + path + "': " + sf_strerror(nullptr));
        }
        // Integer formats clip out-of-range samples instead of wrapping them.
        sf_command(file.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);

        const std::size_t channelCount = audio.channelCount();
        std::vector<float> interleaved(static_cast<std::size_t>(kChunkFrames) * channelCount);
        for (std::size_t start = 0; start < audio.frames();) {
            const std::size_t count =
                std::min(static_cast<std::size_t>(kChunkFrames), audio.frames() - start);
            for (std::size_t frame = 0; frame < count; ++frame) {
                for (std::size_t c = 0; c < channelCount; ++c) {
                    interleaved[frame * channelCount + c] = audio.channels[c][start + frame];
                }
            }
            const auto frames = static_cast<sf_count_t>(count);
            if (sf_writef_float(file.get(), interleaved.data(), frames) != frames) {
                throw HostError("error writing '" + path + "': " + sf_strerror(file.get()));
            }
            start += count;
        }
        if (sf_close(file.release()) != 0) throw HostError("error finishing '" + path + "'");
    }
}

void writeAudioFile(const std::string& path, const AudioBuffer& audio, SampleFormat format) {
    OutputFile output(path);
    writeAudioFile(output, audio, format);
    output.commit();
}

}  // namespace host
