#include "params/ValueCurves.h"

#include <cmath>

namespace params {

namespace {

const LinearCurve theLinearCurve;
const LogCurve theLogCurve;
const SqrtCurve theSqrtCurve;
const PowerCurve theFourthPowerCurve{4.0};

}  // namespace

double LinearCurve::toNormalised(double value, double minimum, double maximum) const {
    return (value - minimum) / (maximum - minimum);
}

double LinearCurve::fromNormalised(double x, double minimum, double maximum) const {
    return (1.0 - x) * minimum + x * maximum;
}

double LogCurve::toNormalised(double value, double minimum, double maximum) const {
    const double perMinimum = 1.0 / minimum;
    return std::log(value * perMinimum) / std::log(maximum * perMinimum);
}

double LogCurve::fromNormalised(double x, double minimum, double maximum) const {
    return std::pow(minimum, 1.0 - x) * std::pow(maximum, x);
}

double SqrtCurve::toNormalised(double value, double minimum, double maximum) const {
    const double rootMinimum = std::sqrt(minimum);
    return (std::sqrt(value) - rootMinimum) / (std::sqrt(maximum) - rootMinimum);
}

double SqrtCurve::fromNormalised(double x, double minimum, double maximum) const {
    // ((1 - x) * sqrt(lo) + x * sqrt(hi))^2, expanded.
    const double y = 1.0 - x;
    return y * (y * minimum + 2.0 * x * std::sqrt(minimum * maximum)) + x * x * maximum;
}

double PowerCurve::toNormalised(double value, double minimum, double maximum) const {
    const double rootMinimum = std::pow(minimum, reciprocal_);
    return (std::pow(value, reciprocal_) - rootMinimum) /
           (std::pow(maximum, reciprocal_) - rootMinimum);
}

double PowerCurve::fromNormalised(double x, double minimum, double maximum) const {
    // The ends are the bounds exactly: the p-th power of a p-th root can miss them by a rounding
    // step (the fourth power of the fourth root of 20 is 19.999999999999996).
    if (x <= 0.0) return minimum;
    if (x >= 1.0) return maximum;
    const double t =
        (1.0 - x) * std::pow(minimum, reciprocal_) + x * std::pow(maximum, reciprocal_);
    const double value = std::pow(t, exponent_);
    if (value <= minimum) return minimum;
    if (value >= maximum) return maximum;
    return value;
}

const ValueCurve& linearCurve() {
    return theLinearCurve;
}
const ValueCurve& logCurve() {
    return theLogCurve;
}
const ValueCurve& sqrtCurve() {
    return theSqrtCurve;
}
const ValueCurve& fourthPowerCurve() {
    return theFourthPowerCurve;
}

}  // namespace params
