#include "MusicSignal.h"

#include <cmath>
#include <cstdint>

namespace bench {

StereoSignal musicSignal(std::size_t frames, double sampleRate) {
    constexpr double kTwoPi = 6.283185307179586;
    StereoSignal signal{std::vector<float>(frames), std::vector<float>(frames)};
    std::uint32_t state = 1;
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        state = state * 1664525u + 1013904223u;
        const double hiss = 0.2 * (static_cast<double>(state >> 8) / 16777216.0 - 0.5);
        const double low = 0.6 * std::sin(kTwoPi * 110.0 * t);
        const double high = 0.3 * std::sin(kTwoPi * 1760.0 * t);
        signal.left[i] = static_cast<float>(low + high + hiss);
        signal.right[i] = static_cast<float>(low - high - hiss);
    }
    return signal;
}

double rms(const std::vector<float>& left, const std::vector<float>& right) {
    double sum = 0.0;
    for (float x : left) sum += static_cast<double>(x) * static_cast<double>(x);
    for (float x : right) sum += static_cast<double>(x) * static_cast<double>(x);
    const auto count = static_cast<double>(left.size() + right.size());
    return count > 0.0 ? std::sqrt(sum / count) : 0.0;
}

}  // namespace bench
