#pragma once

#include "params/ValueCurve.h"

namespace params {

// Position proportional to the value.
class LinearCurve final : public ValueCurve {
  public:
    constexpr LinearCurve() = default;
    double toNormalised(double value, double minimum, double maximum) const override;
    double fromNormalised(double x, double minimum, double maximum) const override;
};

// Equal ratios of value per equal step of position (gains, frequencies); needs minimum > 0.
class LogCurve final : public ValueCurve {
  public:
    constexpr LogCurve() = default;
    double toNormalised(double value, double minimum, double maximum) const override;
    double fromNormalised(double x, double minimum, double maximum) const override;
};

// Position proportional to the square root of the value.
class SqrtCurve final : public ValueCurve {
  public:
    constexpr SqrtCurve() = default;
    double toNormalised(double value, double minimum, double maximum) const override;
    double fromNormalised(double x, double minimum, double maximum) const override;
};

// Position proportional to the p-th root of the value. Unlike the other curves it forces its
// own result into the bounds, since t^p can overshoot them by a rounding step.
class PowerCurve final : public ValueCurve {
  public:
    constexpr explicit PowerCurve(double exponent)
        : exponent_(exponent), reciprocal_(1.0 / exponent) {}
    double toNormalised(double value, double minimum, double maximum) const override;
    double fromNormalised(double x, double minimum, double maximum) const override;

  private:
    double exponent_;
    double reciprocal_;
};

// The program-wide instances, constant-initialised when the library is loaded, so they exist
// before any parameter is built and for as long as the library stays loaded.
const ValueCurve& linearCurve();
const ValueCurve& logCurve();
const ValueCurve& sqrtCurve();
// PowerCurve with p = 4, the time parameters' curve.
const ValueCurve& fourthPowerCurve();

}  // namespace params
