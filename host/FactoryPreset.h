// The --preset option: our own plug-in's factory presets by name, from the
// table its LV2 and VST 3 presets are written from; program files otherwise.
#pragma once

#include <string>
#include <vector>

#include "PluginInstance.h"

namespace host {

// Sets the plug-in to the factory preset of that name when the plug-in is
// ours (by its unique ID) and has one, else to the program file of that
// path. Returns the name a program saved from it takes (the preset's; empty
// after a file). Throws HostError listing the presets when our plug-in gets
// a name that is neither a preset nor a file.
std::string loadPreset(PluginInstance& plugin, const std::string& nameOrFile);

// The factory presets' names when the plug-in is ours, else none.
std::vector<std::string> factoryPresetNames(const PluginInstance& plugin);

}  // namespace host
