#include "dsp/CrossoverCoefficients.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace dsp {
namespace {

const double kLowpass12Gain = std::pow(0.5, 0.25);
const double kLowpass18Gain = std::pow(0.5, static_cast<double>(1.0f / 6.0f));

struct CoefficientCase {
    const char* what;
    double ratio;
    float (*formula)(double ratio);
    double expected;
};

float lowpass12(double ratio) {
    return onePoleGainCoefficient(ratio, kLowpass12Gain);
}
float lowpass18(double ratio) {
    return onePoleGainCoefficient(ratio, kLowpass18Gain);
}

TEST(CrossoverCoefficients, MatchReferenceValues) {
    const double r1k = 1000.0 / 44100.0;
    const CoefficientCase cases[] = {
        {"one-pole 1 kHz", r1k, onePoleCoefficient, 0.132583},
        {"one-pole ratio 0.5", 0.5, onePoleCoefficient, 0.828427},
        {"one-pole 16537.5 Hz", 16537.5 / 44100.0, onePoleCoefficient, 0.808530},
        {"one-pole 27562.5 Hz folds to 16537.5 Hz", 27562.5 / 44100.0, onePoleCoefficient,
         0.808530},
        {"one-pole ratio 1 folds to 0", 1.0, onePoleCoefficient, 0.0},
        {"one-pole ratio 0", 0.0, onePoleCoefficient, 0.0},
        {"one-pole negative ratio", -0.1, onePoleCoefficient, 0.0},
        {"Lowpass12 1 kHz", r1k, lowpass12, 0.198075},
        {"Lowpass18 1 kHz", r1k, lowpass18, 0.242949},
        {"Lowpass12 ratio 0", 0.0, lowpass12, 0.0},
        {"Lowpass18 negative ratio", -1.0, lowpass18, 0.0},
        {"allpass 1 kHz", r1k, allpassCoefficient, 0.866788},
        {"allpass ratio 0 uses 0.00001", 0.0, allpassCoefficient, 0.999937},
        {"allpass above 0.49", 0.7, allpassCoefficient, -0.939063},
    };
    for (const CoefficientCase& c : cases) {
        EXPECT_NEAR(c.formula(c.ratio), c.expected, 1e-6) << c.what;
    }
}

TEST(CrossoverCoefficients, LimitedFamiliesTreatRatiosAboveLimitAsLimit) {
    for (float (*formula)(double) : {lowpass12, lowpass18, allpassCoefficient}) {
        const float atLimit = formula(0.49);
        for (double ratio : {0.4900001, 0.5, 0.75, 1.0, 3.0}) {
            EXPECT_EQ(formula(ratio), atLimit) << ratio;
        }
    }
    EXPECT_EQ(allpassCoefficient(-5.0), allpassCoefficient(0.00001));
}

TEST(CrossoverCoefficients, OnePoleFoldsAboveHalfTheSampleRate) {
    for (double ratio : {0.51, 0.6, 0.625, 0.8, 0.95}) {
        EXPECT_NEAR(onePoleCoefficient(ratio), onePoleCoefficient(1.0 - ratio), 1e-6) << ratio;
    }
}

// A sample rate of 0 gives ratios of +inf (or NaN for frequency 0): no
// coefficient may become NaN, or the filter memories would never recover.
TEST(CrossoverCoefficients, NonFiniteRatiosGiveFiniteCoefficients) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double ratio : {nan, inf, -inf}) {
        EXPECT_TRUE(std::isfinite(onePoleCoefficient(ratio))) << ratio;
        EXPECT_TRUE(std::isfinite(lowpass12(ratio))) << ratio;
        EXPECT_TRUE(std::isfinite(lowpass18(ratio))) << ratio;
        EXPECT_TRUE(std::isfinite(allpassCoefficient(ratio))) << ratio;
    }
}

}  // namespace
}  // namespace dsp
