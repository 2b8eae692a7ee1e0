#include "engine/BypassFade.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace engine {

void BypassFade::setSampleRate(double rate) {
    if (!(rate > 0.0 && std::isfinite(rate))) return;
    const double frames = std::max(1.0, std::round(rate * kFadeSeconds));
    step_ = static_cast<float>(1.0 / frames);
}

void BypassFade::mix(float* const* input, const float* const* compressed, float* const* output,
                     std::int32_t frames) {
    const auto count = static_cast<std::size_t>(std::max(frames, std::int32_t{0}));
    std::size_t i = 0;
    for (; i < count && dry_ != target_; ++i) {
        dry_ = target_ > dry_ ? std::min(target_, dry_ + step_) : std::max(target_, dry_ - step_);
        for (int channel = 0; channel < 2; ++channel) {
            const float wet = compressed[channel][i];
            output[channel][i] = wet + dry_ * (input[channel][i] - wet);
        }
    }
    // Settled: one of the two signals, bit for bit.
    const float* const* source = dry_ == 1.0f ? input : compressed;
    for (int channel = 0; channel < 2; ++channel) {
        if (i < count && output[channel] != source[channel]) {
            std::memmove(output[channel] + i, source[channel] + i, (count - i) * sizeof(float));
        }
    }
}

}  // namespace engine
