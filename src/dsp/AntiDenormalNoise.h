// A tiny noise added to every input sample. It keeps the recursive filters
// and the envelopes fed with a signal that never decays to exact zero or into
// subnormal numbers, which are slow on most processors; at below 1e-15 it is
// far below audibility.
#pragma once

#include <cstdint>

namespace dsp {

class AntiDenormalNoise final {
  public:
    // Any start state serves; the effect starts at 0.
    explicit AntiDenormalNoise(std::int32_t start = 0) : state_(start) {}

    // The next noise sample: a linear congruential sequence scaled into
    // [-1e-15, 1e-15].
    float next() {
        const std::int32_t state = state_;
        state_ =
            static_cast<std::int32_t>(static_cast<std::uint32_t>(state) * 1664525u + 1013904223u);
        // The scale is its 24-bit significand times 2^-104. The state times the
        // significand is exact in 64 bits, so the conversion to float is the
        // one rounding; a product rounded to double first is one step off for
        // two states.
        const float rounded = static_cast<float>(static_cast<std::int64_t>(state) * kSignificand);
        return rounded * kUnit;
    }

  private:
    // The single-precision value of 1e-15 / 2^31, 4.656613e-25 (bit pattern
    // 0x17101D7D), as significand times unit.
    static constexpr std::int64_t kSignificand = 0x901D7D;
    static constexpr float kUnit = 0x1p-104f;
    static_assert(static_cast<float>(kSignificand) * kUnit == 4.656613e-25f);

    std::int32_t state_ = 0;
};

}  // namespace dsp
