// Writes manifest.ttl, the plug-in's .ttl and presets.ttl into a bundle
// folder, from the engine's control table and preset table.
#include <exception>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "engine/ControlTable.h"
#include "lv2/ControlPorts.h"
#include "lv2/PortLayout.h"
#include "lv2/PresetWriter.h"
#include "lv2/TurtleWriter.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " BUNDLE-FOLDER\n";
        return 2;
    }
    const std::string folder = argv[1];
    try {
        const std::vector<lv2::ControlPort> ports = lv2::describePorts();
        const engine::PresetTable& presets = engine::PresetTable::factory();
        std::ofstream manifest(folder + "/manifest.ttl");
        lv2::writeManifest(manifest);
        lv2::writePresetManifest(manifest, presets);
        std::ofstream plugin(folder + "/" + lv2::kTurtleName);
        lv2::writePluginDescription(plugin, engine::ControlTable::instance(), ports);
        std::ofstream presetFile(folder + "/" + lv2::kPresetsTurtleName);
        lv2::writePresets(presetFile, presets, ports);
        manifest.close();
        plugin.close();
        presetFile.close();
        if (!manifest || !plugin || !presetFile) {
            std::cerr << "cannot write the Turtle files into " << folder << "\n";
            return 1;
        }
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    return 0;
}
