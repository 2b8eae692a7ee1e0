#include "params/ValueFormatters.h"

#include <cmath>

#include "params/StreamText.h"

namespace params {

namespace {

const PlainFormatter thePlainFormatter;
const DecibelFormatter theDecibelFormatter;
const ScaledFormatter thePercentFormatter{100.0};
const ScaledFormatter theMilliFormatter{1000.0};

// Below this a default stream switches to exponent form.
constexpr double kSmallestShownDecibels = 1e-4;

}  // namespace

std::string PlainFormatter::format(double value) const {
    return writeNumber(toShown(value));
}

double PlainFormatter::toShown(double value) const {
    return value;
}

double PlainFormatter::fromShown(double shown) const {
    return shown;
}

std::string DecibelFormatter::format(double value) const {
    if (value == 0.0) return "-oo";
    // A gain a rounding step away from 1 (1e-15 dB at Master Drive's
    // position 0.25) is 0 dB: written in exponent form it would be cut to a
    // host's eight characters as "1.92865e", and a typed "0" could not find it.
    const double shown = toShown(value);
    return writeNumber(std::fabs(shown) < kSmallestShownDecibels ? 0.0 : shown);
}

double DecibelFormatter::toShown(double value) const {
    return 20.0 * std::log10(value);
}

double DecibelFormatter::fromShown(double shown) const {
    return std::pow(10.0, shown / 20.0);
}

std::string ScaledFormatter::format(double value) const {
    return writeNumber(toShown(value));
}

double ScaledFormatter::toShown(double value) const {
    return value * factor_;
}

double ScaledFormatter::fromShown(double shown) const {
    return shown / factor_;
}

const ValueFormatter& plainFormatter() {
    return thePlainFormatter;
}
const ValueFormatter& decibelFormatter() {
    return theDecibelFormatter;
}
const ValueFormatter& percentFormatter() {
    return thePercentFormatter;
}
const ValueFormatter& milliFormatter() {
    return theMilliFormatter;
}

}  // namespace params
