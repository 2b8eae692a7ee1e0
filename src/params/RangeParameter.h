#pragma once

#include <atomic>
#include <string>

#include "params/Parameter.h"

namespace params {

class ValueCurve;
class ValueFormatter;

// A real value within [minimum, maximum], positioned by a shared curve and shown by a shared
// formatter. The value is in the parameter's own unit (gain factor, seconds, fraction, Hz).
//
// Threads: host threads set the value (position, text, reset); the processing side calls value(),
// which is lock-free and does no allocation or text work.
class RangeParameter : public Parameter {
  public:
    // The default is taken as given, without clamping; it stays in place until the first change.
    RangeParameter(ParameterList* list, std::string identifier, std::string displayName,
                   std::string unitLabel, const ValueCurve& curve, const ValueFormatter& formatter,
                   double defaultValue, double minimum, double maximum);

    std::string valueToText() const override;
    bool setFromText(const std::string& text) override;
    std::string displayText() const override;
    void resetToDefault() override;
    double normalisedValue() const override;
    // Maps x through the curve and clamps the result into the bounds.
    void setNormalisedValue(double x) override;
    void settleAtPosition() override;

    // Clears the changed mark and gives the current value.
    virtual double value();
    // With clampToRange a value outside the bounds is moved onto the nearer bound; without it,
    // such a value is refused with false. NaN is always refused. Raises the changed mark only
    // when the stored value really changes.
    virtual bool setValue(double v, bool clampToRange);

    double minimum() const { return minimum_; }
    double maximum() const { return maximum_; }
    double defaultValue() const { return defaultValue_; }
    const ValueCurve& curve() const { return *curve_; }
    const ValueFormatter& formatter() const { return *formatter_; }

  private:
    const ValueCurve* curve_;
    const ValueFormatter* formatter_;
    const double minimum_;
    const double maximum_;
    const double defaultValue_;
    std::atomic<double> value_;
};

}  // namespace params
