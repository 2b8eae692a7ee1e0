// A preset and settings applied to a plug-in of any format in command-line
// order, as render, info, save-preset and bench take them.
#pragma once

#include <string>
#include <vector>

#include "ParameterSetter.h"
#include "Plugin.h"

namespace host {

// "Name = shown value", and for VST 2 the position it took.
struct AppliedSetting {
    std::string name;
    std::string display;
    std::string position;  // empty outside VST 2
};

// Loads the preset (when named), then makes each setting. A VST 2 plug-in is
// set as the parameter setter sets it, by position; --set-norm is VST 2's
// alone. Throws HostError.
std::vector<AppliedSetting> applySettings(Plugin& plugin, const std::string& preset,
                                          const std::vector<ParameterAssignment>& settings);

}  // namespace host
