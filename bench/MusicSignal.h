// A deterministic music-like stereo test signal for the benchmarks.
#pragma once

#include <cstddef>
#include <vector>

namespace bench {

struct StereoSignal {
    std::vector<float> left;
    std::vector<float> right;
};

// Two tones (110 Hz at 0.6, 1760 Hz at 0.3) over a white noise bed (0.1
// peak), the high tone and the noise in opposite polarity on the right, so
// that the channels differ. Peaks stay just under full scale, and every band
// is driven into compression at the effect's default settings.
StereoSignal musicSignal(std::size_t frames, double sampleRate);

// Root mean square of both channels together.
double rms(const std::vector<float>& left, const std::vector<float>& right);

}  // namespace bench
