// Writes the factory presets for LV2 hosts: their entries in the manifest,
// and presets.ttl with every control port's value in each preset.
#pragma once

#include <ostream>
#include <vector>

#include "engine/PresetTable.h"
#include "lv2/ControlPorts.h"

namespace lv2 {

constexpr const char* kPresetsTurtleName = "presets.ttl";

// Appended to the manifest: each preset, the plug-in it applies to and the
// file that holds it, so that a host lists them without reading that file.
void writePresetManifest(std::ostream& out, const engine::PresetTable& presets);
// Throws std::logic_error when a port value would not give the preset's position.
void writePresets(std::ostream& out, const engine::PresetTable& presets,
                  const std::vector<ControlPort>& controls);

}  // namespace lv2
