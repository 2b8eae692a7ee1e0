// The LV2 control ports as the effect's parameter list defines them: one port
// per parameter in host-index order, in the unit the parameter's display
// shows, and the mapping from a port value to the parameter's position.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace params {
class ParameterList;
class ValueCurve;
class ValueFormatter;
}  // namespace params

namespace lv2 {

enum class ControlKind { range, choice, toggle };

struct ControlPort {
    std::int32_t parameterIndex;
    std::string symbol;
    std::string name;
    ControlKind kind;
    // In the shown unit; a choice's port holds the index of its choice.
    float minimum;
    float maximum;
    float defaultValue;
    // The name in the LV2 units vocabulary ("db", "hz", "ms", "pc"), or empty.
    std::string unit;
    bool logarithmic;
    std::vector<std::string> choiceNames;
    // A range port's conversion to the parameter's value and position.
    const params::ValueCurve* curve;
    const params::ValueFormatter* formatter;
    double valueMinimum;
    double valueMaximum;
};

// Throws std::logic_error for a parameter kind that has no port form.
std::vector<ControlPort> describeControls(const params::ParameterList& parameters);

// A port value moved into the port's range; NaN stays NaN (callers ignore it).
float clampToPort(const ControlPort& port, float value);

// The parameter position, as the VST 2 interface sets it, that shows a port
// value already within the port's range. Allocates nothing.
float positionFor(const ControlPort& port, float value);

}  // namespace lv2
