// The info command's report: what the plug-in says about itself and tables of
// its parameters and read-only outputs.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "Plugin.h"

namespace host {

// The flags of the record in words ("replacing, mono"), unknown bits in hex.
std::string flagsInWords(std::int32_t flags);
// "NoEf (0x4E6F4566)": four characters, '?' for unprintable ones, and hex.
std::string uniqueIdText(std::int32_t id);

// The shortest text that reads back as the same float ("0.33333334"), so a
// position shown can be given back to --set-norm exactly.
std::string positionText(float position);

// What the plug-in is, its ports, presets, every parameter (value, default,
// unit, range or choices; for VST 2 the position too) and every read-only
// output.
void printInfo(const Plugin& plugin, std::ostream& out);

}  // namespace host
