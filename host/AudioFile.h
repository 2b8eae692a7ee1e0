// Audio files through libsndfile: reads WAV, AIFF, FLAC, Ogg and MP3; writes WAV or
// FLAC, chosen by the output's extension, as float or 16/24-bit integers.
#pragma once

#include <string>

#include "AudioBuffer.h"
#include "OutputFile.h"

namespace host {

enum class SampleFormat { Float, Pcm16, Pcm24 };

// "float", "16" or "24"; throws HostError for anything else.
SampleFormat parseSampleFormat(const std::string& text);

// The whole file: mono or stereo, at least one frame, at most an hour, at a
// rate from kMinSampleRate to kMaxSampleRate; anything else is a HostError.
AudioBuffer readAudioFile(const std::string& path);

// Fills the output's temporary file; the caller commits. FLAC holds integers
// only: SampleFormat::Float is an error there.
void writeAudioFile(OutputFile& output, const AudioBuffer& audio, SampleFormat format);
// Writes through a temporary file, so the target appears only when complete.
void writeAudioFile(const std::string& path, const AudioBuffer& audio, SampleFormat format);

}  // namespace host
