// The LV2 control ports: one per parameter in host-index order, each the
// parameter's face-neutral description plus what only LV2 needs, the unit's
// name in the LV2 units vocabulary and a range a logarithmic slider can show.
#pragma once

#include <string>
#include <vector>

#include "effect/ControlDescription.h"

namespace params {
class ParameterList;
}

namespace lv2 {

struct ControlPort {
    effect::ControlDescription control;
    // The control's shown range and default, except that a logarithmic port
    // starts above 0; a choice's port holds the index of its choice.
    float minimum;
    float maximum;
    float defaultValue;
    // The name in the LV2 units vocabulary ("db", "hz", "ms", "pc"), or empty.
    std::string unit;
};

// Throws std::logic_error for a parameter kind that has no port form.
std::vector<ControlPort> describePorts(const params::ParameterList& parameters);

// A port value moved into the port's range; NaN stays NaN (callers ignore it).
float clampToPort(const ControlPort& port, float value);

}  // namespace lv2
