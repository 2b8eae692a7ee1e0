#include "params/ValueFormatters.h"

#include <cmath>

#include "params/StreamText.h"

namespace params {

namespace {

const PlainFormatter thePlainFormatter;
const DecibelFormatter theDecibelFormatter;
const ScaledFormatter thePercentFormatter{100.0};
const ScaledFormatter theMilliFormatter{1000.0};

}  // namespace

std::string PlainFormatter::format(double value) const {
    return writeNumber(value);
}

std::string DecibelFormatter::format(double value) const {
    if (value == 0.0) return "-oo";
    return writeNumber(20.0 * std::log10(value));
}

std::string ScaledFormatter::format(double value) const {
    return writeNumber(value * factor_);
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
