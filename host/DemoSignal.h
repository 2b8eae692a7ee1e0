// The built-in demo: a deterministic piece of music that shows what a
// compressor does. 120 bpm in 4-bar cycles of 8 seconds: the first bar holds a
// sustained chord and the bass alone, the next three add kick, snare and
// hi-hat transients; a little noise runs under everything. Peaks at -3 dBFS.
#pragma once

#include "AudioBuffer.h"

namespace host {

inline constexpr double kDemoSeconds = 8.0;

// Stereo; the same rate and length give the same samples on every run.
AudioBuffer makeDemoSignal(double sampleRate, double seconds = kDemoSeconds);

}  // namespace host
