#include "params/RangeParameter.h"

#include <cmath>
#include <utility>

#include "params/StreamText.h"
#include "params/ValueCurve.h"
#include "params/ValueFormatter.h"

namespace params {

RangeParameter::RangeParameter(ParameterList* list, std::string identifier, std::string displayName,
                               std::string unitLabel, const ValueCurve& curve,
                               const ValueFormatter& formatter, double defaultValue, double minimum,
                               double maximum)
    : Parameter(list, std::move(identifier), std::move(displayName), std::move(unitLabel)),
      curve_(&curve),
      formatter_(&formatter),
      minimum_(minimum),
      maximum_(maximum),
      defaultValue_(defaultValue),
      value_(defaultValue) {}

std::string RangeParameter::valueToText() const {
    return writeNumber(value_.load(std::memory_order_relaxed));
}

bool RangeParameter::setFromText(const std::string& text) {
    double number = 0.0;
    if (!readNumber(text, number)) return false;
    return setValue(number, true);
}

std::string RangeParameter::displayText() const {
    return formatter_->format(value_.load(std::memory_order_relaxed));
}

void RangeParameter::resetToDefault() {
    setValue(defaultValue_, true);
}

double RangeParameter::normalisedValue() const {
    return curve_->toNormalised(value_.load(std::memory_order_relaxed), minimum_, maximum_);
}

void RangeParameter::setNormalisedValue(double x) {
    setValue(curve_->fromNormalised(x, minimum_, maximum_), true);
}

// A new parameter holds the default and keeps it for the default's position
// (see ParameterList::setNormalisedValue); any other position it takes.
void RangeParameter::settleAtPosition() {
    const auto position = static_cast<float>(normalisedValue());
    if (position == static_cast<float>(curve_->toNormalised(defaultValue_, minimum_, maximum_))) {
        resetToDefault();
    } else {
        setNormalisedValue(static_cast<double>(position));
    }
}

double RangeParameter::value() {
    consumeChanged();
    return value_.load(std::memory_order_relaxed);
}

bool RangeParameter::setValue(double v, bool clampToRange) {
    // A NaN would pass both bound tests and reach the signal chain as a gain or frequency.
    if (std::isnan(v)) return false;
    if (v < minimum_ || v > maximum_) {
        if (!clampToRange) return false;
        v = v < minimum_ ? minimum_ : maximum_;
    }
    // An equal value (-0 against 0 included) leaves the stored one in place.
    if (value_.load(std::memory_order_relaxed) == v) return true;
    if (value_.exchange(v, std::memory_order_relaxed) != v) markChanged();
    return true;
}

}  // namespace params
