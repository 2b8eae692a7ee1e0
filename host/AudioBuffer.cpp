#include "AudioBuffer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace host {

namespace {

double toDb(double linear) {
    return linear > 0.0 ? 20.0 * std::log10(linear) : -std::numeric_limits<double>::infinity();
}

}  // namespace

Level measureLevel(const AudioBuffer& audio) {
    double peak = 0.0;
    double sumOfSquares = 0.0;
    std::size_t count = 0;
    for (const auto& channel : audio.channels) {
        for (const float sample : channel) {
            const auto x = static_cast<double>(sample);
            peak = std::max(peak, std::fabs(x));
            sumOfSquares += x * x;
        }
        count += channel.size();
    }
    const double rms = count > 0 ? std::sqrt(sumOfSquares / static_cast<double>(count)) : 0.0;
    return {toDb(peak), toDb(rms)};
}

}  // namespace host
