// Conversions between the interface's number types that stay defined for any
// input: a host may pass NaN, infinities or values beyond the target range.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace vst {

// Truncates toward zero; NaN gives 0 and values beyond the int32 range give
// the nearest limit.
inline std::int32_t truncateToInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value <= static_cast<double>(std::numeric_limits<std::int32_t>::min())) {
        return std::numeric_limits<std::int32_t>::min();
    }
    if (value >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(value);
}

// Rounds to float; magnitudes beyond the float range become infinities.
inline float narrowToFloat(double value) {
    constexpr double largest = static_cast<double>(std::numeric_limits<float>::max());
    if (value > largest) return std::numeric_limits<float>::infinity();
    if (value < -largest) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

}  // namespace vst
