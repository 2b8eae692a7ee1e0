// A tiny noise added to every input sample. It keeps the recursive filters
// and the envelopes fed with a signal that never decays to exact zero or into
// subnormal numbers, which are slow on most processors; at below 1e-15 it is
// far below audibility.
#pragma once

#include <cstdint>

namespace dsp {

class AntiDenormalNoise final {
  public:
    // The next noise sample: a linear congruential sequence scaled into
    // [-1e-15, 1e-15].
    float next() {
        const std::int32_t state = state_;
        state_ =
            static_cast<std::int32_t>(static_cast<std::uint32_t>(state) * 1664525u + 1013904223u);
        return static_cast<float>(static_cast<double>(state) * kScale);
    }

  private:
    // The single-precision value of 1e-15 / 2^31 (bit pattern 0x17101D7D).
    static constexpr double kScale = static_cast<double>(4.656613e-25f);

    std::int32_t state_ = 0;
};

}  // namespace dsp
