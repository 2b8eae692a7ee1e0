// Sets a plug-in's parameters the way a person names them: by index or by the
// name the plug-in shows, to a normalised position or to a value in the
// parameter's own display terms ("12" dB, "LP12 up", "on").
#pragma once

#include <cstdint>
#include <string>

#include "PluginInstance.h"

namespace host {

struct ParameterAssignment {
    std::string parameter;  // a name as the plug-in shows it, or an index
    std::string value;
    bool normalised = false;  // value is a position 0..1, not display terms
};

// Splits "NAME=VALUE" at the first '='. Throws HostError without one.
ParameterAssignment parseAssignment(const std::string& text, bool normalised);

// One parameter as the plug-in shows it now.
struct ParameterState {
    std::int32_t index;
    std::string name;
    std::string display;
    std::string label;
    float position;
};
ParameterState describeParameter(const PluginInstance& plugin, std::int32_t index);

class ParameterSetter final {
  public:
    explicit ParameterSetter(PluginInstance& plugin) : plugin_(plugin) {}

    // The index for a name (case and spacing ignored) or an index number.
    // Unknown and ambiguous names are HostErrors.
    std::int32_t findParameter(const std::string& nameOrIndex) const;

    // Sets the parameter and returns its effective state. Values that no
    // position reaches are HostErrors.
    ParameterState apply(const ParameterAssignment& assignment);

    // The position that shows a value in display terms; the parameter is
    // left there. Values that no position reaches are HostErrors.
    float positionForValue(std::int32_t index, const std::string& value);

  private:
    PluginInstance& plugin_;
};

}  // namespace host
