#include "engine/Control.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace engine {

namespace {

double clampUnit(double value) {
    return std::clamp(value, 0.0, 1.0);
}

std::string lowerTrimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    std::string result = text.substr(first, last - first + 1);
    for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

// A number, alone or followed by "dB"; nothing otherwise.
std::optional<double> decibelsFromText(const std::string& text) {
    const std::string typed = lowerTrimmed(text);
    const char* start = typed.c_str();
    char* end = nullptr;
    const double value = std::strtod(start, &end);
    if (end == start || !std::isfinite(value)) return std::nullopt;
    const std::string rest = lowerTrimmed(end);
    if (!rest.empty() && rest != "db") return std::nullopt;
    return value;
}

const std::vector<std::string>& noTexts() {
    static const std::vector<std::string> none;
    return none;
}

}  // namespace

Control Control::parameter(effect::ControlDescription description) {
    Control row;
    row.id_ = static_cast<ControlId>(description.index());
    row.symbol_ = description.identifier();
    row.name_ = description.name();
    row.shortName_ = description.name();
    row.unitLabel_ = description.unitLabel();
    switch (description.kind()) {
        case effect::ControlKind::range:
            row.kind_ = ControlKind::range;
            break;
        case effect::ControlKind::choice:
            row.kind_ = ControlKind::choice;
            break;
        case effect::ControlKind::toggle:
            row.kind_ = ControlKind::toggle;
            break;
    }
    row.minimum_ = description.minimum();
    row.maximum_ = description.maximum();
    row.defaultValue_ = description.defaultValue();
    row.logarithmic_ = description.logarithmic();
    row.description_ = std::move(description);
    return row;
}

Control Control::bypass() {
    Control row;
    row.id_ = kBypassId;
    row.symbol_ = kBypassSymbol;
    row.name_ = "Bypass";
    row.shortName_ = "Bypass";
    row.kind_ = ControlKind::bypass;
    return row;
}

Control Control::meter(std::size_t band) {
    const std::string number = std::to_string(band);
    Control row;
    row.id_ = meterId(band);
    row.symbol_ = "gainReduction" + number;
    row.name_ = "Band " + number + " gain reduction";
    row.shortName_ = "Band " + number + " GR";
    row.unitLabel_ = "dB";
    row.kind_ = ControlKind::meter;
    row.minimum_ = kDeepestMeterDb;
    row.maximum_ = 0.0;
    row.defaultValue_ = 0.0;
    return row;
}

int Control::stepCount() const {
    switch (kind_) {
        case ControlKind::choice:
            return static_cast<int>(choiceTexts().size()) - 1;
        case ControlKind::toggle:
        case ControlKind::bypass:
            return 1;
        case ControlKind::range:
        case ControlKind::meter:
            break;
    }
    return 0;
}

double Control::defaultPosition() const {
    if (description_) return static_cast<double>(description_->defaultPosition());
    return positionFor(defaultValue_);
}

const std::vector<std::string>& Control::choiceTexts() const {
    return description_ ? description_->choiceTexts() : noTexts();
}

double Control::positionFor(double shown) const {
    if (description_) return static_cast<double>(description_->positionFor(shown));
    if (kind_ == ControlKind::meter) return clampUnit(1.0 - shown / kDeepestMeterDb);
    return shown >= 0.5 ? 1.0 : 0.0;
}

double Control::shownAt(double position) const {
    // The effect takes the position as a float; its shortest number is what a
    // user typed or expects to read (100 ms, not 100.000008).
    if (description_) return description_->shortestShownAt(static_cast<float>(clampUnit(position)));
    if (kind_ == ControlKind::meter) return (clampUnit(position) - 1.0) * -kDeepestMeterDb;
    return position >= 0.5 ? 1.0 : 0.0;
}

std::string Control::displayText(double position) const {
    if (description_) return description_->displayText(clampUnit(position));
    if (kind_ == ControlKind::bypass) return position >= 0.5 ? "On" : "Off";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f", shownAt(position));
    return buffer;
}

std::optional<double> Control::positionFromText(const std::string& text) const {
    if (description_) {
        const std::optional<double> shown = description_->shownValueFromText(text);
        if (!shown) return std::nullopt;
        return static_cast<double>(description_->positionFor(*shown));
    }
    if (kind_ == ControlKind::bypass) {
        const std::string typed = lowerTrimmed(text);
        if (typed == "on" || typed == "1") return 1.0;
        if (typed == "off" || typed == "0") return 0.0;
        return std::nullopt;
    }
    const std::optional<double> decibels = decibelsFromText(text);
    if (!decibels) return std::nullopt;
    return positionFor(*decibels);
}

}  // namespace engine
