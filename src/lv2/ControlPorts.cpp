#include "lv2/ControlPorts.h"

#include <algorithm>

#include "engine/ControlTable.h"

namespace lv2 {

namespace {

// A logarithmic slider spans this ratio below its maximum: 0.2 ms to 20 s for
// the release, where a linear slider from 0 would crowd every useful time
// into its first few percent.
constexpr double kLogarithmicSpan = 1.0e5;

}  // namespace

std::string unitName(const std::string& label) {
    if (label == "dB") return "db";
    if (label == "Hz") return "hz";
    if (label == "ms") return "ms";
    if (label == "%") return "pc";
    return {};
}

std::vector<ControlPort> describePorts() {
    const engine::ControlTable& table = engine::ControlTable::instance();
    std::vector<ControlPort> ports;
    for (std::size_t i = 0; i < engine::kParameterCount; ++i) {
        const engine::Control& control = table.parameter(i);
        double minimum = control.minimum();
        const double maximum = control.maximum();
        if (control.logarithmic() && minimum <= 0.0) minimum = maximum / kLogarithmicSpan;
        const auto low = static_cast<float>(minimum);
        const auto high = static_cast<float>(maximum);
        const float defaultValue =
            std::clamp(static_cast<float>(control.defaultValue()), low, high);
        ports.push_back({control, low, high, defaultValue, unitName(control.unitLabel())});
    }
    return ports;
}

float clampToPort(const ControlPort& port, float value) {
    if (value < port.minimum) return port.minimum;
    if (value > port.maximum) return port.maximum;
    return value;
}

}  // namespace lv2
