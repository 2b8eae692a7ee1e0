#include "effect/ControlDescription.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <locale>
#include <sstream>
#include <stdexcept>

#include "params/ChoiceParameterBase.h"
#include "params/ParameterList.h"
#include "params/RangeParameter.h"
#include "params/SwitchParameter.h"
#include "params/ValueCurves.h"
#include "params/ValueFormatters.h"

namespace effect {

namespace {

// Lower case without surrounding white space: "  On " reads as "on".
std::string folded(const std::string& text) {
    const auto begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return {};
    const auto end = text.find_last_not_of(" \t");
    std::string result = text.substr(begin, end - begin + 1);
    for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

// The number a text starts with, in the classic locale whatever the host's,
// when nothing or only the unit follows it.
std::optional<double> leadingNumber(const std::string& text, const std::string& unit) {
    std::istringstream stream(text);
    stream.imbue(std::locale::classic());
    double number = 0.0;
    if (!(stream >> number) || !std::isfinite(number)) return std::nullopt;
    const std::string rest = folded(std::string(std::istreambuf_iterator<char>(stream), {}));
    if (!rest.empty() && rest != folded(unit)) return std::nullopt;
    return number;
}

// Where the VST 2 interface cuts a display text.
std::string cutForDisplay(std::string text) {
    if (text.size() > params::ParameterList::displayLength) {
        text.resize(params::ParameterList::displayLength);
    }
    return text;
}

// Positions outside 0..1 count as the nearer end, NaN as 0.
double clampedPosition(double position) {
    return std::isnan(position) ? 0.0 : std::clamp(position, 0.0, 1.0);
}

}  // namespace

ControlDescription::ControlDescription(std::int32_t index, const params::Parameter& parameter)
    : index_(index),
      identifier_(parameter.identifier()),
      name_(parameter.displayName()),
      unitLabel_(parameter.unitLabel()) {
    if (const auto* range = dynamic_cast<const params::RangeParameter*>(&parameter)) {
        describeRange(*range);
    } else if (const auto* choice = dynamic_cast<const params::ChoiceParameterBase*>(&parameter)) {
        kind_ = ControlKind::choice;
        const std::size_t count = choice->choiceCount();
        for (std::size_t i = 0; i < count; ++i) choiceTexts_.push_back(choice->choiceDisplayName(i));
        maximum_ = static_cast<double>(count > 0 ? count - 1 : 0);
        defaultValue_ = static_cast<double>(std::lround(choice->normalisedValue() * maximum_));
    } else if (const auto* toggle = dynamic_cast<const params::SwitchParameter*>(&parameter)) {
        kind_ = ControlKind::toggle;
        offText_ = toggle->offText();
        onText_ = toggle->onText();
        maximum_ = 1.0;
        defaultValue_ = toggle->normalisedValue();
    } else {
        throw std::logic_error("parameter " + identifier_ + " has no description for faces");
    }
}

void ControlDescription::describeRange(const params::RangeParameter& range) {
    kind_ = ControlKind::range;
    curve_ = &range.curve();
    formatter_ = &range.formatter();
    valueMinimum_ = range.minimum();
    valueMaximum_ = range.maximum();
    minimum_ = formatter_->toShown(valueMinimum_);
    maximum_ = formatter_->toShown(valueMaximum_);
    logarithmic_ = formatter_ != &params::decibelFormatter() && curve_ != &params::linearCurve();
    // The VST 2 default position: the default value's, as getParameter gives it.
    const auto position = static_cast<float>(
        curve_->toNormalised(range.defaultValue(), valueMinimum_, valueMaximum_));
    defaultValue_ = shownDefault(formatter_->toShown(range.defaultValue()), position);
}

// The decimal with the fewest digits that maps to the position, in double and
// in float (the LV2 ports' type), so that a host shows "700" and not
// "699.999939"; the exact number when no shorter one does.
double ControlDescription::shownDefault(double exact, float position) const {
    for (int digits = 1; digits <= std::numeric_limits<double>::max_digits10; ++digits) {
        char text[40];
        std::snprintf(text, sizeof text, "%.*g", digits, exact);
        const double candidate = std::strtod(text, nullptr);
        if (candidate >= minimum_ && candidate <= maximum_ && positionFor(candidate) == position &&
            positionFor(static_cast<double>(static_cast<float>(candidate))) == position) {
            return candidate;
        }
    }
    return exact;
}

float ControlDescription::positionFor(double shown) const {
    if (std::isnan(shown)) return std::numeric_limits<float>::quiet_NaN();
    switch (kind_) {
        case ControlKind::range: {
            const double plain = formatter_->fromShown(std::clamp(shown, minimum_, maximum_));
            const double x = curve_->toNormalised(plain, valueMinimum_, valueMaximum_);
            return static_cast<float>(std::clamp(x, 0.0, 1.0));
        }
        case ControlKind::choice: {
            // Choice i sits at i / (n - 1), inside its own slice of positions.
            if (maximum_ <= 0.0) return 0.0f;
            const double index = std::nearbyint(std::clamp(shown, 0.0, maximum_));
            return static_cast<float>(index / maximum_);
        }
        case ControlKind::toggle:
            return shown > 0.0 ? 1.0f : 0.0f;
    }
    return 0.0f;
}

// A range's value as the parameter takes a position within 0..1: through
// the curve, then into its bounds.
double ControlDescription::valueAt(double position) const {
    return std::clamp(curve_->fromNormalised(position, valueMinimum_, valueMaximum_), valueMinimum_,
                      valueMaximum_);
}

double ControlDescription::shownValueAt(double position) const {
    const double x = clampedPosition(position);
    switch (kind_) {
        case ControlKind::range:
            return formatter_->toShown(valueAt(x));
        case ControlKind::choice: {
            // 1.0 selects the last choice, any other x choice trunc(x * n).
            const double count = maximum_ + 1.0;
            return std::min(std::trunc(x * count), maximum_);
        }
        case ControlKind::toggle:
            return x < 0.5 ? 0.0 : 1.0;
    }
    return 0.0;
}

std::string ControlDescription::displayText(double position) const {
    if (kind_ == ControlKind::range) {
        return cutForDisplay(formatter_->format(valueAt(clampedPosition(position))));
    }
    const double shown = shownValueAt(position);
    if (kind_ == ControlKind::toggle) return cutForDisplay(shown > 0.0 ? onText_ : offText_);
    return choiceTexts_.empty() ? std::string()
                                : cutForDisplay(choiceTexts_[static_cast<std::size_t>(shown)]);
}

std::optional<double> ControlDescription::shownValueFromText(const std::string& text) const {
    const std::string wanted = folded(text);
    for (std::size_t i = 0; i < choiceTexts_.size(); ++i) {
        if (folded(choiceTexts_[i]) == wanted) return static_cast<double>(i);
    }
    if (kind_ == ControlKind::toggle) {
        if (wanted == folded(onText_)) return 1.0;
        if (wanted == folded(offText_)) return 0.0;
    }
    const std::optional<double> number = leadingNumber(text, unitLabel_);
    if (!number) return std::nullopt;
    const double shown = std::clamp(*number, minimum_, maximum_);
    return kind_ == ControlKind::range ? shown : std::nearbyint(shown);
}

std::vector<ControlDescription> describeControls(const params::ParameterList& parameters) {
    std::vector<ControlDescription> controls;
    for (std::int32_t index = 0; index < static_cast<std::int32_t>(parameters.size()); ++index) {
        controls.emplace_back(index, *parameters.at(index));
    }
    return controls;
}

}  // namespace effect
