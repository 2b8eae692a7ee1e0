#include "lv2/ControlPorts.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "params/ChoiceParameterBase.h"
#include "params/ParameterList.h"
#include "params/RangeParameter.h"
#include "params/SwitchParameter.h"
#include "params/ValueCurves.h"
#include "params/ValueFormatters.h"

namespace lv2 {

namespace {

// A time slider spans this ratio below its maximum: 0.2 ms to 20 s for the
// release, where a linear slider from 0 would crowd every useful time into
// its first few percent.
constexpr double kLogarithmicSpan = 1.0e5;

std::string unitName(const std::string& label) {
    if (label == "dB") return "db";
    if (label == "Hz") return "hz";
    if (label == "ms") return "ms";
    if (label == "%") return "pc";
    return {};
}

ControlPort rangePort(const params::RangeParameter& parameter) {
    const params::ValueFormatter& formatter = parameter.formatter();
    const params::ValueCurve& curve = parameter.curve();
    ControlPort port{};
    port.kind = ControlKind::range;
    port.curve = &curve;
    port.formatter = &formatter;
    port.valueMinimum = parameter.minimum();
    port.valueMaximum = parameter.maximum();
    port.unit = unitName(parameter.unitLabel());
    double minimum = formatter.toShown(parameter.minimum());
    const double maximum = formatter.toShown(parameter.maximum());
    // Decibels already show a logarithm, so their slider is linear; a linear
    // curve stays linear; Hz on a logarithmic curve and times on their power
    // curve get a logarithmic slider, which needs a minimum above 0.
    if (&formatter != &params::decibelFormatter() && &curve != &params::linearCurve()) {
        port.logarithmic = true;
        if (minimum <= 0.0) minimum = maximum / kLogarithmicSpan;
    }
    port.minimum = static_cast<float>(minimum);
    port.maximum = static_cast<float>(maximum);
    port.defaultValue = std::clamp(static_cast<float>(formatter.toShown(parameter.defaultValue())),
                                   port.minimum, port.maximum);
    return port;
}

ControlPort choicePort(const params::ChoiceParameterBase& parameter) {
    ControlPort port{};
    port.kind = ControlKind::choice;
    const std::size_t count = parameter.choiceCount();
    for (std::size_t i = 0; i < count; ++i)
        port.choiceNames.push_back(parameter.choiceDisplayName(i));
    port.minimum = 0.0f;
    port.maximum = static_cast<float>(count > 0 ? count - 1 : 0);
    port.defaultValue = static_cast<float>(
        std::lround(parameter.normalisedValue() * static_cast<double>(port.maximum)));
    return port;
}

ControlPort togglePort(const params::SwitchParameter& parameter) {
    ControlPort port{};
    port.kind = ControlKind::toggle;
    port.minimum = 0.0f;
    port.maximum = 1.0f;
    port.defaultValue = static_cast<float>(parameter.normalisedValue());
    return port;
}

}  // namespace

std::vector<ControlPort> describeControls(const params::ParameterList& parameters) {
    std::vector<ControlPort> ports;
    for (std::int32_t index = 0; index < static_cast<std::int32_t>(parameters.size()); ++index) {
        const params::Parameter* parameter = parameters.at(index);
        ControlPort port{};
        if (const auto* range = dynamic_cast<const params::RangeParameter*>(parameter)) {
            port = rangePort(*range);
        } else if (const auto* choice =
                       dynamic_cast<const params::ChoiceParameterBase*>(parameter)) {
            port = choicePort(*choice);
        } else if (const auto* toggle = dynamic_cast<const params::SwitchParameter*>(parameter)) {
            port = togglePort(*toggle);
        } else {
            throw std::logic_error("parameter " + parameter->identifier() + " has no port form");
        }
        port.parameterIndex = index;
        port.symbol = parameter->identifier();
        port.name = parameter->displayName();
        ports.push_back(std::move(port));
    }
    return ports;
}

float clampToPort(const ControlPort& port, float value) {
    if (value < port.minimum) return port.minimum;
    if (value > port.maximum) return port.maximum;
    return value;
}

float positionFor(const ControlPort& port, float value) {
    switch (port.kind) {
        case ControlKind::range: {
            const double plain = port.formatter->fromShown(static_cast<double>(value));
            const double x = port.curve->toNormalised(plain, port.valueMinimum, port.valueMaximum);
            return static_cast<float>(std::clamp(x, 0.0, 1.0));
        }
        case ControlKind::choice: {
            // Choice i sits at i / (n - 1), inside its own slice of positions.
            if (port.maximum <= 0.0f) return 0.0f;
            const double index = std::nearbyint(static_cast<double>(value));
            return static_cast<float>(index / static_cast<double>(port.maximum));
        }
        case ControlKind::toggle:
            return value > 0.0f ? 1.0f : 0.0f;
    }
    return 0.0f;
}

}  // namespace lv2
