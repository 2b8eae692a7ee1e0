// VST 3 preset files (.vstpreset): a header naming the plug-in's class, then
// chunks, of which the component's state ('Comp') and the controller's
// ('Cont', optional) are what a preset sets.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace host {

struct Vst3Preset {
    std::string classId;  // 32 hex digits, upper case
    std::vector<std::uint8_t> component;
    std::vector<std::uint8_t> controller;  // empty when the file has none
};

// Reads and checks a preset file. Throws HostError with the reason for a file
// that cannot be read, is no preset file, or is damaged.
Vst3Preset readVst3Preset(const std::string& path);

// A class ID as preset files write it: its 16 bytes as 32 hex digits.
std::string classIdText(const char (&bytes)[16]);

}  // namespace host
