#include "Plugin.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "HostError.h"
#include "TextMatch.h"

namespace host {

const char* formatName(PluginFormat format) {
    switch (format) {
        case PluginFormat::vst2:
            return "VST 2";
        case PluginFormat::vst3:
            return "VST 3";
        case PluginFormat::lv2:
            return "LV2";
        case PluginFormat::clap:
            return "CLAP";
    }
    return "?";
}

PluginFormat formatOf(const std::string& location) {
    std::string path = location;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    const std::string extension = lowerCase(std::filesystem::path(path).extension().string());
    if (extension == ".vst3") return PluginFormat::vst3;
    if (extension == ".lv2") return PluginFormat::lv2;
    if (extension == ".clap") return PluginFormat::clap;
    if (extension == ".so" || extension == ".dll") return PluginFormat::vst2;
    // A URI names an installed LV2 plug-in: a scheme, then a colon.
    const auto colon = location.find(':');
    if (colon != std::string::npos && colon > 0 &&
        std::all_of(location.begin(), location.begin() + static_cast<std::ptrdiff_t>(colon),
                    [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; })) {
        return PluginFormat::lv2;
    }
    throw HostError("cannot tell the format of '" + location +
                    "': give a VST 2 library (.so), a VST 3 bundle (.vst3), an LV2 bundle (.lv2) "
                    "or URI, or a CLAP library (.clap)");
}

std::size_t Plugin::findParameter(const std::string& nameOrId) const {
    const std::string wanted = normaliseText(nameOrId);
    std::vector<std::size_t> matches;
    for (std::size_t i = 0; i < parameters_.size(); ++i) {
        if (normaliseText(parameters_[i].name) == wanted) matches.push_back(i);
    }
    if (matches.size() > 1) {
        std::string ids;
        for (const auto i : matches) ids += (ids.empty() ? "" : ", ") + parameters_[i].id;
        throw HostError("parameter name '" + nameOrId + "' is ambiguous: parameters " + ids +
                        " share it; use the id");
    }
    if (matches.size() == 1) return matches.front();
    for (std::size_t i = 0; i < parameters_.size(); ++i) {
        if (normaliseText(parameters_[i].id) == wanted) return i;
    }
    throw HostError("unknown parameter '" + nameOrId + "' (the info command lists the parameters)");
}

double Plugin::valueFor(std::size_t parameter, const std::string& text) {
    const Control& control = parameters_.at(parameter);
    const std::string wanted = normaliseText(text);
    if (!control.choices.empty()) {
        for (const auto& [value, choice] : control.choices) {
            if (normaliseText(choice) == wanted) return value;
        }
        // A choice's value itself, as the format numbers it.
        if (const auto number = leadingNumber(text, "")) {
            for (const auto& choice : control.choices) {
                if (choice.first == *number) return choice.first;
            }
        }
        std::string list;
        for (const auto& choice : control.choices)
            list += (list.empty() ? "" : ", ") + choice.second;
        throw HostError("'" + control.name + "' has no choice '" + text +
                        "'; its choices: " + list);
    }
    const auto number = leadingNumber(text, control.unit);
    if (!number) {
        throw HostError("'" + control.name + "' takes a number" +
                        (control.unit.empty() ? "" : " in " + control.unit) + ", not '" + text +
                        "'");
    }
    const double low = std::min(control.minimum, control.maximum);
    const double high = std::max(control.minimum, control.maximum);
    // An end as the range shows it, rounded, is that end.
    if (numberText(*number) == numberText(low)) return low;
    if (numberText(*number) == numberText(high)) return high;
    if (*number < low || *number > high) {
        throw HostError("'" + control.name + "' cannot be " + text + ": it spans " + control.range);
    }
    return *number;
}

std::string numberText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

std::string rangeText(const Control& control) {
    if (control.choices.empty()) {
        return numberText(control.minimum) + " to " + numberText(control.maximum) +
               (control.unit.empty() ? "" : " " + control.unit);
    }
    std::string text;
    for (const auto& choice : control.choices) text += (text.empty() ? "" : ", ") + choice.second;
    return text;
}

}  // namespace host
