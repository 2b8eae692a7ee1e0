// The settings every face is compared with the VST 2 plug-in at, and the
// signal they are compared on. Each row is a VST 2 setting: positions by host
// index.
#pragma once

#include <array>
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

// Each factory preset as a setting of every parameter, named as the preset.
std::vector<SettingRow> presetTable();

// A preset taken while the plug-in runs: the input in blocks, `first` set
// before it and `then` before the block at kPresetSwitchFrame, as a host
// that loads a preset between two blocks. The faces' tests load theirs there.
inline constexpr std::size_t kPresetSwitchFrame = 2048;
Stereo renderSwitched(host::PluginInstance& plugin, const Stereo& in, const Setting& first,
                      const Setting& then, std::size_t block);

// Two sines under seeded noise, with a loud burst in the middle that drives
// every band into compression.
Stereo burstSignal(std::size_t frames, double sampleRate = kSampleRate);

// A setting under which only one band compresses the band test noise: that
// band's drive 20 dB up, the other three 20 dB down.
Setting bandAloneSetting(std::int32_t band);
// Noise that, after a few thousand frames, compresses the band driven by
// bandAloneSetting by more than 6 dB and the others by less than 2 dB.
Stereo bandTestNoise(std::size_t frames);
// Whether meter readings in dB, band 0 first, show `band` compressing and no other.
bool onlyBandMoves(const std::array<double, 4>& decibels, std::int32_t band);

}  // namespace testhost
