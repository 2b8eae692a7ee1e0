#include "params/ParameterList.h"

#include <cstring>

#include "params/Parameter.h"

namespace params {

namespace {

void copyBounded(const std::string& text, char* buffer, std::size_t length) {
    std::strncpy(buffer, text.c_str(), length);
    buffer[length] = '\0';
}

}  // namespace

void ParameterList::add(Parameter* parameter) {
    entries_.push_back(parameter);
}

Parameter* ParameterList::entry(std::int32_t index) const {
    const auto position = static_cast<std::uint32_t>(index);
    return position < entries_.size() ? entries_[position] : nullptr;
}

double ParameterList::normalisedValue(std::int32_t index) const {
    const Parameter* parameter = entry(index);
    return parameter != nullptr ? parameter->normalisedValue() : 0.0;
}

void ParameterList::setNormalisedValue(std::int32_t index, float x) {
    Parameter* parameter = entry(index);
    if (parameter == nullptr || !(x >= 0.0f && x <= 1.0f)) return;
    // A host writing back the position it read (a session reopened) must not
    // move a value no float position reaches, such as a default of 0.3, onto
    // the value of that position's rounding.
    if (x == static_cast<float>(parameter->normalisedValue())) return;
    parameter->setNormalisedValue(static_cast<double>(x));
}

void ParameterList::settleAtPositions() {
    for (Parameter* parameter : entries_) parameter->settleAtPosition();
}

void ParameterList::copyDisplayName(std::int32_t index, char* buffer) const {
    buffer[0] = '\0';
    if (const Parameter* parameter = entry(index)) {
        copyBounded(parameter->displayName(), buffer, nameLength);
    }
}

void ParameterList::copyUnitLabel(std::int32_t index, char* buffer) const {
    buffer[0] = '\0';
    if (const Parameter* parameter = entry(index)) {
        copyBounded(parameter->unitLabel(), buffer, labelLength);
    }
}

void ParameterList::copyDisplayText(std::int32_t index, char* buffer) const {
    buffer[0] = '\0';
    if (const Parameter* parameter = entry(index)) {
        copyBounded(parameter->displayText(), buffer, displayLength);
    }
}

}  // namespace params
