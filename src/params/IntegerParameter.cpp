#include "params/IntegerParameter.h"

#include <cmath>
#include <utility>

#include "params/StreamText.h"

namespace params {

IntegerParameter::IntegerParameter(ParameterList* list, std::string identifier,
                                   std::string displayName, std::string unitLabel,
                                   std::int32_t minimum, std::int32_t maximum,
                                   std::int32_t initialValue)
    : Parameter(list, std::move(identifier), std::move(displayName), std::move(unitLabel)),
      minimum_(minimum),
      maximum_(maximum),
      defaultValue_(initialValue),
      value_(initialValue) {}

std::string IntegerParameter::valueToText() const {
    return writeNumber(value_.load(std::memory_order_relaxed));
}

bool IntegerParameter::setFromText(const std::string& text) {
    std::int32_t number = 0;
    if (!readNumber(text, number)) return false;
    setValue(number, false);
    return true;
}

std::string IntegerParameter::displayText() const {
    return valueToText();
}

void IntegerParameter::resetToDefault() {
    setValue(defaultValue_, false);
}

double IntegerParameter::normalisedValue() const {
    if (maximum_ == minimum_) return 0.5;
    // In double precision: the differences of two 32-bit numbers may not fit 32 bits.
    const double lo = minimum_;
    return (value_.load(std::memory_order_relaxed) - lo) / (maximum_ - lo);
}

void IntegerParameter::setNormalisedValue(double x) {
    if (std::isnan(x)) return;
    // Positions outside 0..1 would give values outside the range, and the conversion below
    // would overflow for far-out ones.
    x = std::fmin(std::fmax(x, 0.0), 1.0);
    std::int32_t v = maximum_;
    if (x != 1.0) {
        const double lo = minimum_;
        v = static_cast<std::int32_t>(lo + std::trunc(x * (maximum_ - lo + 1.0)));
    }
    setValue(v, false);
}

std::int32_t IntegerParameter::value() {
    consumeChanged();
    return value_.load(std::memory_order_relaxed);
}

bool IntegerParameter::setValue(std::int32_t v, bool checkRange) {
    if (checkRange && (v < minimum_ || v > maximum_)) return false;
    if (value_.exchange(v, std::memory_order_relaxed) != v) markChanged();
    return true;
}

}  // namespace params
