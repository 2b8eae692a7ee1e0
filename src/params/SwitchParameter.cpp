#include "params/SwitchParameter.h"

#include <cmath>
#include <utility>

namespace params {

namespace {

const char* const trueText = "true";
const char* const falseText = "false";

}  // namespace

SwitchParameter::SwitchParameter(ParameterList* list, std::string identifier,
                                 std::string displayName, bool defaultValue)
    : SwitchParameter(list, std::move(identifier), std::move(displayName), defaultValue, trueText,
                      falseText) {}

SwitchParameter::SwitchParameter(ParameterList* list, std::string identifier,
                                 std::string displayName, bool defaultValue, const char* onText,
                                 const char* offText)
    : Parameter(list, std::move(identifier), std::move(displayName), ""),
      onText_(onText),
      offText_(offText),
      defaultValue_(defaultValue),
      value_(defaultValue) {}

std::string SwitchParameter::valueToText() const {
    return value_.load(std::memory_order_relaxed) ? trueText : falseText;
}

bool SwitchParameter::setFromText(const std::string& text) {
    if (text == trueText) {
        setValue(true);
        return true;
    }
    if (text == falseText) {
        setValue(false);
        return true;
    }
    return false;
}

std::string SwitchParameter::displayText() const {
    return value_.load(std::memory_order_relaxed) ? onText_ : offText_;
}

void SwitchParameter::resetToDefault() {
    setValue(defaultValue_);
}

double SwitchParameter::normalisedValue() const {
    return value_.load(std::memory_order_relaxed) ? 1.0 : 0.0;
}

void SwitchParameter::setNormalisedValue(double x) {
    if (std::isnan(x)) return;
    setValue(!(x < 0.5));
}

void SwitchParameter::setValue(bool v) {
    if (value_.exchange(v, std::memory_order_relaxed) != v) markChanged();
}

OnOffParameter::OnOffParameter(ParameterList* list, std::string identifier, std::string displayName,
                               bool defaultValue)
    : SwitchParameter(list, std::move(identifier), std::move(displayName), defaultValue, "on",
                      "off") {}

YesNoParameter::YesNoParameter(ParameterList* list, std::string identifier, std::string displayName,
                               bool defaultValue)
    : SwitchParameter(list, std::move(identifier), std::move(displayName), defaultValue, "yes",
                      "no") {}

}  // namespace params
