// The LV2 control ports of the parameters: each the engine's control row plus
// what only LV2 needs, the unit's name in the LV2 units vocabulary and a range
// a logarithmic slider can show.
#pragma once

#include <string>
#include <vector>

#include "engine/Control.h"

namespace lv2 {

struct ControlPort {
    engine::Control control;
    // The control's shown range and default, except that a logarithmic port
    // starts above 0; a choice's port holds the index of its choice.
    float minimum;
    float maximum;
    float defaultValue;
    // The name in the LV2 units vocabulary ("db", "hz", "ms", "pc"), or empty.
    std::string unit;
};

// One port per parameter, in ID order.
std::vector<ControlPort> describePorts();

// The name of a unit label in the LV2 units vocabulary, or empty.
std::string unitName(const std::string& label);

// A port value moved into the port's range; NaN stays NaN (callers ignore it).
float clampToPort(const ControlPort& port, float value);

}  // namespace lv2
