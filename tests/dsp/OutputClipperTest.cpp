#include "dsp/OutputClipper.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace dsp {
namespace {

struct ClipCase {
    float knee;
    float input;
    float expected;
};

TEST(OutputClipper, Values) {
    const ClipCase cases[] = {
        {0.0f, 0.0f, 0.0f},        {0.0f, 0.5f, 0.48148148f},
        {0.0f, 1.0f, 0.85185185f}, {0.0f, -1.0f, -0.85185185f},
        {0.0f, 1.5f, 1.0f},        {0.0f, -2.0f, -1.0f},
        {0.0f, 1e30f, 1.0f},       {0.5f, 0.4f, 0.4f},
        {0.5f, -0.5f, -0.5f},      {0.5f, 1.0f, 0.5f + 0.5f * 0.85185185f},
        {0.5f, 5.0f, 1.0f},        {1.0f, 0.9f, 0.9f},
        {1.0f, 3.0f, 1.0f},        {1.0f, -3.0f, -1.0f},
    };
    for (const ClipCase& c : cases) {
        EXPECT_FLOAT_EQ(clipOutput(c.knee, c.input), c.expected)
            << "knee " << c.knee << " input " << c.input;
    }
}

TEST(OutputClipper, SoftCurveUsesTheSinglePrecisionFactor) {
    const std::uint32_t bits = 0x3E17B426u;
    float factor = 0.0f;
    std::memcpy(&factor, &bits, sizeof factor);
    EXPECT_EQ(softCurve(1.0f), 1.0f - factor);
    EXPECT_EQ(softCurve(-1.0f), factor - 1.0f);
}

TEST(OutputClipper, BoundedMonotonicAndContinuous) {
    for (float knee : {0.0f, 0.3f, 0.9f}) {
        float previous = clipOutput(knee, -4.0f);
        for (int i = -3999; i <= 4000; ++i) {
            const float x = static_cast<float>(i) / 1000.0f;
            const float y = clipOutput(knee, x);
            ASSERT_LE(std::fabs(y), 1.0f) << x;
            ASSERT_GE(y, previous) << x;
            ASSERT_LE(y - previous, 0.0011f) << x;  // slope never above 1
            previous = y;
        }
    }
}

std::uint32_t bitsOf(float x) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

TEST(OutputClipper, PairGivesTheScalarResultBitForBit) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<float> inputs = {0.0f, -0.0f, 1.5f, -1.5f, 1e30f, -1e30f, inf, -inf, nan, -nan};
    for (int i = -3000; i <= 3000; ++i) inputs.push_back(static_cast<float>(i) * 0.00137f);
    for (float knee : {0.0f, 0.3f, 0.999f, 1.0f, 1.5f, -0.2f}) {
        for (std::size_t i = 0; i < inputs.size(); ++i) {
            float left = inputs[i];
            float right = inputs[inputs.size() - 1 - i];
            const float expectedLeft = clipOutput(knee, left);
            const float expectedRight = clipOutput(knee, right);
            clipOutputPair(knee, left, right);
            ASSERT_EQ(bitsOf(left), bitsOf(expectedLeft)) << "knee " << knee << " x " << inputs[i];
            ASSERT_EQ(bitsOf(right), bitsOf(expectedRight)) << "knee " << knee;
        }
    }
}

}  // namespace
}  // namespace dsp
