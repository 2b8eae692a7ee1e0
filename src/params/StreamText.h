#pragma once

#include <cstdint>
#include <string>

namespace params {

// Number texts in the form of a default-configured string stream (six significant digits,
// general notation), always in the classic locale so that a host's global locale cannot change
// the decimal point or add digit grouping.

std::string writeNumber(double value);
std::string writeNumber(std::int32_t value);

// Read a number from the start of the text, skipping leading white space and ignoring whatever
// follows it. False, with `value` untouched, when no number can be read or it does not fit.
bool readNumber(const std::string& text, double& value);
bool readNumber(const std::string& text, std::int32_t& value);

}  // namespace params
