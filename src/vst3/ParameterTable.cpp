#include "vst3/ParameterTable.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>


namespace vst3 {

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

}  // namespace

double meterNormalized(double decibels) {
    return clampUnit(1.0 - decibels / kDeepestMeterDb);
}

ParameterTable::ParameterTable(const params::ParameterList& parameters)
    : controls_(effect::describeControls(parameters)) {}

ParamID ParameterTable::idAt(int32 index) {
    if (index < kEffectParameters) return static_cast<ParamID>(index);
    if (index == kEffectParameters) return kBypassId;
    return kFirstMeterId + static_cast<ParamID>(index - kEffectParameters - 1);
}

bool ParameterTable::describe(int32 index, ParameterInfo& info) const {
    if (index < 0 || index >= kCount) return false;
    info = ParameterInfo{};
    info.id = idAt(index);
    info.unitId = kRootUnitId;
    info.defaultNormalizedValue = defaultNormalized(info.id);
    if (isEffectParameter(info.id)) {
        const effect::ControlDescription& control = controls_[info.id];
        copyUtf16(control.name(), info.title, 128);
        copyUtf16(control.name(), info.shortTitle, 128);
        copyUtf16(control.unitLabel(), info.units, 128);
        info.flags = kCanAutomate;
        if (control.kind() == effect::ControlKind::choice) {
            info.stepCount = static_cast<int32>(control.choiceTexts().size()) - 1;
            info.flags |= kIsList;
        } else if (control.kind() == effect::ControlKind::toggle) {
            info.stepCount = 1;
        }
    } else if (info.id == kBypassId) {
        copyUtf16("Bypass", info.title, 128);
        copyUtf16("Bypass", info.shortTitle, 128);
        info.stepCount = 1;
        info.flags = kCanAutomate | kIsBypass;
    } else {
        const std::string title =
            "Band " + std::to_string(info.id - kFirstMeterId) + " gain reduction";
        copyUtf16(title, info.title, 128);
        copyUtf16("Band " + std::to_string(info.id - kFirstMeterId) + " GR", info.shortTitle, 128);
        copyUtf16("dB", info.units, 128);
        info.flags = kIsReadOnly;
    }
    return true;
}

double ParameterTable::defaultNormalized(ParamID id) const {
    if (isEffectParameter(id)) return static_cast<double>(controls_[id].defaultPosition());
    if (isMeter(id)) return meterNormalized(0.0);
    return 0.0;
}

double ParameterTable::toPlain(ParamID id, double normalized) const {
    if (isEffectParameter(id)) return controls_[id].shownValueAt(clampUnit(normalized));
    if (isMeter(id)) return (clampUnit(normalized) - 1.0) * -kDeepestMeterDb;
    return normalized >= 0.5 ? 1.0 : 0.0;
}

double ParameterTable::toNormalized(ParamID id, double plain) const {
    if (isEffectParameter(id)) return static_cast<double>(controls_[id].positionFor(plain));
    if (isMeter(id)) return meterNormalized(plain);
    return plain >= 0.5 ? 1.0 : 0.0;
}

std::string ParameterTable::text(ParamID id, double normalized) const {
    if (isEffectParameter(id)) return controls_[id].displayText(clampUnit(normalized));
    if (id == kBypassId) return normalized >= 0.5 ? "On" : "Off";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f", toPlain(id, normalized));
    return buffer;
}

std::optional<double> ParameterTable::fromText(ParamID id, const std::string& text) const {
    if (isEffectParameter(id)) {
        const std::optional<double> shown = controls_[id].shownValueFromText(text);
        if (!shown) return std::nullopt;
        return controls_[id].positionFor(*shown);
    }
    if (id == kBypassId) {
        const std::string typed = lowerTrimmed(text);
        if (typed == "on" || typed == "1") return 1.0;
        if (typed == "off" || typed == "0") return 0.0;
        return std::nullopt;
    }
    if (!isMeter(id)) return std::nullopt;
    const std::optional<double> decibels = decibelsFromText(text);
    if (!decibels) return std::nullopt;
    return meterNormalized(*decibels);
}

void copyUtf16(const std::string& text, char16* into, std::size_t capacity) {
    if (capacity == 0) return;
    std::size_t out = 0;
    for (std::size_t i = 0; i < text.size() && out + 1 < capacity;) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::uint32_t code = length == 1 ? lead : lead & (0x3Fu >> (length - 1));
        for (std::size_t k = 1; k < length && i + k < text.size(); ++k) {
            code = code << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        }
        i += length;
        // Outside the basic plane: a replacement mark rather than a surrogate pair.
        into[out++] = static_cast<char16>(code > 0xFFFF ? 0xFFFD : code);
    }
    into[out] = 0;
}

std::string fromUtf16(const char16* text) {
    std::string result;
    for (std::size_t i = 0; text[i] != 0 && i < 128; ++i) {
        const std::uint32_t code = text[i];
        if (code < 0x80) {
            result += static_cast<char>(code);
        } else if (code < 0x800) {
            result += static_cast<char>(0xC0 | code >> 6);
            result += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            result += static_cast<char>(0xE0 | code >> 12);
            result += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            result += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return result;
}

}  // namespace vst3
