// What the benchmarks of the whole plug-in share: the rate, and the length of
// the music-like signal and of the warm-up before timing.
#pragma once

#include <cstddef>

#include "MusicSignal.h"

namespace bench {

constexpr float kSampleRate = 48000.0f;
// About 4.1 s, a whole number of blocks of every size measured.
constexpr std::size_t kSignalFrames = 48 * 4096;
// About 1 s processed before timing, so that the envelopes have settled (the
// default release is 0.1 s for the lowest band, less for the others); also a
// whole number of blocks.
constexpr std::size_t kWarmUpFrames = 12 * 4096;

// The music-like signal of kSignalFrames at kSampleRate, made once.
inline const StereoSignal& pluginBenchSignal() {
    static const StereoSignal music = musicSignal(kSignalFrames, kSampleRate);
    return music;
}

}  // namespace bench
