// Writes the bundle's two Turtle files: the manifest, which names the plug-in
// and its library, and the plug-in's description with every port.
#pragma once

#include <ostream>
#include <vector>

#include "engine/ControlTable.h"
#include "lv2/ControlPorts.h"

namespace lv2 {

void writeManifest(std::ostream& out);
void writePluginDescription(std::ostream& out, const engine::ControlTable& table,
                            const std::vector<ControlPort>& controls);

}  // namespace lv2
