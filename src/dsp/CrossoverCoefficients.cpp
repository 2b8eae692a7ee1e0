#include "dsp/CrossoverCoefficients.h"

#include <cmath>

namespace dsp {
namespace {

// The single-precision values of 2 pi and pi, widened: the coefficients are
// defined with these, not with the exact constants.
constexpr double kTwoPi = static_cast<double>(6.2831855f);
constexpr double kPi = static_cast<double>(3.1415927f);

// Ratios that are not numbers (a sample rate of 0 gives 0/0) count as the
// lower limit, so a coefficient is never NaN.
double limitRatio(double ratio, double lowest, double highest) {
    if (!(ratio >= lowest)) return lowest;
    if (ratio > highest) return highest;
    return ratio;
}

}  // namespace

float onePoleCoefficient(double ratio) {
    // No upper limit; only an infinite ratio (sample rate 0) is taken as 0,
    // since its cosine would be NaN.
    if (!(ratio >= 0.0) || std::isinf(ratio)) ratio = 0.0;
    const double b = 2.0 - std::cos(kTwoPi * ratio);
    return static_cast<float>(1.0 - (b - std::sqrt(b * b - 1.0)));
}

float onePoleGainCoefficient(double ratio, double stageGain) {
    ratio = limitRatio(ratio, 0.0, 0.49);
    const double g2 = static_cast<double>(static_cast<float>(stageGain * stageGain));
    // g2 < 1 keeps c >= 1, so the square root is real.
    const double c = (g2 * std::cos(kTwoPi * ratio) - 1.0) / (g2 - 1.0);
    return static_cast<float>(1.0 - (c - std::sqrt(c * c - 1.0)));
}

float allpassCoefficient(double ratio) {
    ratio = limitRatio(ratio, 0.00001, 0.49);
    const double t = std::tan(kPi * ratio);
    return static_cast<float>((1.0 - t) / (1.0 + t));
}

}  // namespace dsp
