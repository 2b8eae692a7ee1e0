// What the benchmarks of the whole plug-in share: the rate, the length of the
// music-like signal and of the warm-up before timing, and the host indexes of
// the choices they set.
#pragma once

#include <cstddef>
#include <cstdint>

#include "MusicSignal.h"

namespace bench {

constexpr float kSampleRate = 48000.0f;
// About 4.1 s, a whole number of blocks of every size measured.
constexpr std::size_t kSignalFrames = 48 * 4096;
// About 1 s processed before timing, so that the envelopes have settled (the
// default release is 0.1 s for the lowest band, less for the others); also a
// whole number of blocks.
constexpr std::size_t kWarmUpFrames = 12 * 4096;

constexpr std::int32_t kCompressorMode = 5;
constexpr std::int32_t kClipping = 6;
constexpr std::int32_t kFilterBank = 8;

// The music-like signal of kSignalFrames at kSampleRate, made once.
inline const StereoSignal& pluginBenchSignal() {
    static const StereoSignal music = musicSignal(kSignalFrames, kSampleRate);
    return music;
}

}  // namespace bench
