#pragma once

namespace params {

// Maps a range parameter's value to its normalised position and back, given the bounds.
// Implementations are stateless apart from constants fixed at construction, so one program-wide
// instance of each serves every parameter from any thread.
class ValueCurve {
  public:
    virtual ~ValueCurve() = default;
    virtual double toNormalised(double value, double minimum, double maximum) const = 0;
    virtual double fromNormalised(double x, double minimum, double maximum) const = 0;

  protected:
    constexpr ValueCurve() = default;
    ValueCurve(const ValueCurve&) = default;
    ValueCurve& operator=(const ValueCurve&) = default;
};

}  // namespace params
