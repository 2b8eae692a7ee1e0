#include "dsp/AntiDenormalNoise.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>

namespace dsp {
namespace {

std::uint32_t bitsOf(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

struct NoiseCase {
    std::int32_t state;
    std::uint32_t expectedBits;  // state * 4.656613e-25f, rounded once to float
};

// The two states +-1592460245 are where a product first rounded to double
// and then to float lands one step off the product rounded once.
TEST(AntiDenormalNoise, SampleIsTheStateTimesTheScaleRoundedOnce) {
    const NoiseCase cases[] = {
        {0, 0x00000000u},          {1, 0x17101D7Du},          {-1, 0x97101D7Du},
        {1013904223, 0x2608157Cu}, {1592460245, 0x2655BC85u}, {-1592460245, 0xA655BC85u},
        {INT32_MAX, 0x26901D7Du},  {INT32_MIN, 0xA6901D7Du},
    };
    for (const NoiseCase& c : cases) {
        AntiDenormalNoise noise(c.state);
        EXPECT_EQ(bitsOf(noise.next()), c.expectedBits) << c.state;
    }
}

TEST(AntiDenormalNoise, StateAdvancesByTheLinearCongruentialStep) {
    AntiDenormalNoise noise;
    EXPECT_EQ(noise.next(), 0.0f);
    EXPECT_EQ(bitsOf(noise.next()), 0x2608157Cu);  // state 1013904223
    AntiDenormalNoise wrapped(-1);
    wrapped.next();
    // -1 * 1664525 + 1013904223 = 1012239698.
    EXPECT_EQ(wrapped.next(), AntiDenormalNoise(1012239698).next());
}

}  // namespace
}  // namespace dsp
