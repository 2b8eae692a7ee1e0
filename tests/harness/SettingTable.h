// The settings every face is compared with the VST 2 plug-in at, and the
// signal they are compared on. Each row is a VST 2 setting: positions by host
// index.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "PluginHarness.h"

namespace testhost {

using Setting = std::map<std::int32_t, float>;

struct SettingRow {
    std::string name;
    Setting setting;
};

// Every bank with both laws and clipping on and off, each band listened to
// alone, and seeded random positions of every parameter.
const std::vector<SettingRow>& settingTable();

// Two sines under seeded noise, with a loud burst in the middle that drives
// every band into compression.
Stereo burstSignal(std::size_t frames, double sampleRate = kSampleRate);

}  // namespace testhost
