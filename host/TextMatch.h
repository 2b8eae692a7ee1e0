// How the host matches what a person types against what a plug-in shows:
// case and runs of spaces ignored, a number with or without its unit.
#pragma once

#include <optional>
#include <string>

namespace host {

std::string trimText(const std::string& text);
std::string lowerCase(const std::string& text);
// Lower case with runs of spaces collapsed: "Master  drive " equals "master drive".
std::string normaliseText(const std::string& text);
// The number a text starts with, if the rest is empty or the unit.
std::optional<double> leadingNumber(const std::string& text, const std::string& unit);

}  // namespace host
