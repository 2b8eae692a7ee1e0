#include "ParameterSetter.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <sstream>
#include <vector>

#include "HostError.h"
#include "TextMatch.h"

namespace host {

namespace {

// Positions sampled to find texts and to bracket numbers: fine enough that
// every choice of a list of up to a few hundred entries gets several samples.
constexpr int kGridSteps = 1024;

std::string formatNumber(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

float gridPosition(int step) {
    return static_cast<float>(step) / static_cast<float>(kGridSteps);
}

}  // namespace

ParameterAssignment parseAssignment(const std::string& text, bool normalised) {
    const auto equals = text.find('=');
    if (equals == std::string::npos || trimText(text.substr(0, equals)).empty()) {
        throw HostError("parameter setting '" + text + "' is not of the form NAME=VALUE");
    }
    return {trimText(text.substr(0, equals)), trimText(text.substr(equals + 1)), normalised};
}

ParameterState describeParameter(const PluginInstance& plugin, std::int32_t index) {
    // Plug-ins pad their texts; the host shows them trimmed.
    return {index, trimText(plugin.parameterName(index)), trimText(plugin.parameterDisplay(index)),
            trimText(plugin.parameterLabel(index)), plugin.parameter(index)};
}

std::int32_t ParameterSetter::findParameter(const std::string& nameOrIndex) const {
    const std::string wanted = normaliseText(nameOrIndex);
    std::vector<std::int32_t> matches;
    for (std::int32_t i = 0; i < plugin_.numParams(); ++i) {
        if (normaliseText(plugin_.parameterName(i)) == wanted) matches.push_back(i);
    }
    if (matches.size() == 1) return matches.front();
    if (matches.size() > 1) {
        std::string indexes;
        for (const auto i : matches) indexes += (indexes.empty() ? "" : ", ") + std::to_string(i);
        throw HostError("parameter name '" + nameOrIndex + "' is ambiguous: parameters " + indexes +
                        " share it; use the index");
    }
    const bool digits = !wanted.empty() && std::all_of(wanted.begin(), wanted.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
    if (digits && wanted.size() < 10) {
        const long index = std::strtol(wanted.c_str(), nullptr, 10);
        if (index < plugin_.numParams()) return static_cast<std::int32_t>(index);
        throw HostError("parameter index " + wanted + " is out of range: the plug-in has " +
                        std::to_string(plugin_.numParams()) + " parameters");
    }
    throw HostError("unknown parameter '" + nameOrIndex +
                    "' (the info command lists the parameters)");
}

ParameterState ParameterSetter::apply(const ParameterAssignment& assignment) {
    const std::int32_t index = findParameter(assignment.parameter);
    float position = 0.0f;
    if (assignment.normalised) {
        const auto value = leadingNumber(assignment.value, "");
        if (!value || *value < 0.0 || *value > 1.0) {
            throw HostError("normalised value '" + assignment.value + "' for '" +
                            assignment.parameter + "' must be a number from 0 to 1");
        }
        position = static_cast<float>(*value);
    } else {
        position = positionForValue(index, assignment.value);
    }
    plugin_.setParameter(index, position);
    return describeParameter(plugin_, index);
}

float ParameterSetter::positionForValue(std::int32_t index, const std::string& value) {
    const std::string name = plugin_.parameterName(index);
    const std::string label = plugin_.parameterLabel(index);
    std::vector<std::string> texts(kGridSteps + 1);
    for (int step = 0; step <= kGridSteps; ++step) {
        plugin_.setParameter(index, gridPosition(step));
        texts[static_cast<std::size_t>(step)] = plugin_.parameterDisplay(index);
    }

    // The middle of the longest run of positions showing text, or -1. The middle
    // keeps a choice or a switch away from the edges of its range.
    auto middleOfRun = [&](const std::string& text, int from, int to) -> float {
        int bestStart = -1;
        int bestLength = 0;
        for (int step = from; step <= to;) {
            const auto matches = [&](int s) {
                const std::string& shown = texts[static_cast<std::size_t>(s)];
                return normaliseText(shown) == text || normaliseText(shown + " " + label) == text;
            };
            if (!matches(step)) {
                ++step;
                continue;
            }
            int end = step;
            while (end + 1 <= kGridSteps && matches(end + 1)) ++end;
            if (end - step + 1 > bestLength) {
                bestStart = step;
                bestLength = end - step + 1;
            }
            step = end + 1;
        }
        if (bestStart < 0) return -1.0f;
        return (gridPosition(bestStart) + gridPosition(bestStart + bestLength - 1)) / 2.0f;
    };

    const std::string wanted = normaliseText(value);
    if (const float position = middleOfRun(wanted, 0, kGridSteps); position >= 0.0f) {
        return position;
    }

    std::vector<std::optional<double>> numbers(texts.size());
    double lowest = std::numeric_limits<double>::infinity();
    double highest = -std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        numbers[i] = leadingNumber(texts[i], label);
        if (numbers[i]) {
            lowest = std::min(lowest, *numbers[i]);
            highest = std::max(highest, *numbers[i]);
        }
    }
    const auto target = leadingNumber(value, label);
    if (!target || lowest > highest) {
        std::vector<std::string> choices;
        for (const auto& text : texts) {
            if (choices.empty() || choices.back() != text) choices.push_back(text);
        }
        std::string list;
        for (const auto& choice : choices) list += (list.empty() ? "" : ", ") + choice;
        if (choices.size() > 24) list = "a number";
        throw HostError("'" + name + "' cannot show '" + value + "'; it shows " + list);
    }

    // Bracket the number between two neighbouring samples, then bisect the position.
    for (int step = 0; step < kGridSteps; ++step) {
        const auto& a = numbers[static_cast<std::size_t>(step)];
        const auto& b = numbers[static_cast<std::size_t>(step) + 1];
        if (!a || !b || *target < std::min(*a, *b) || *target > std::max(*a, *b)) continue;
        float lo = gridPosition(step);
        float hi = gridPosition(step + 1);
        double atLo = *a;
        double atHi = *b;
        for (;;) {
            const float mid = lo + (hi - lo) / 2.0f;
            if (mid <= lo || mid >= hi) break;
            plugin_.setParameter(index, mid);
            const auto atMid = leadingNumber(plugin_.parameterDisplay(index), label);
            if (!atMid) break;
            if ((*target - atLo) * (*target - *atMid) <= 0.0) {
                hi = mid;
                atHi = *atMid;
            } else {
                lo = mid;
                atLo = *atMid;
            }
        }
        const bool takeLo = std::fabs(atLo - *target) <= std::fabs(atHi - *target);
        const float best = takeLo ? lo : hi;
        plugin_.setParameter(index, best);
        // A stepped number (whole dB, say) ends at the edge of its step: take
        // the middle of the run of samples that show the same text instead.
        const float stepMiddle = middleOfRun(normaliseText(plugin_.parameterDisplay(index)),
                                             std::max(0, step - 1), std::min(kGridSteps, step + 2));
        return stepMiddle >= 0.0f ? stepMiddle : best;
    }
    throw HostError("'" + name + "' cannot reach " + value + ": it spans " + formatNumber(lowest) +
                    " to " + formatNumber(highest) + (label.empty() ? "" : " " + label));
}

}  // namespace host
