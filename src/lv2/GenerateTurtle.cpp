// Writes manifest.ttl and the plug-in's .ttl into a bundle folder, from the
// engine's control table.
#include <exception>
#include <fstream>
#include <iostream>
#include <string>

#include "engine/ControlTable.h"
#include "lv2/ControlPorts.h"
#include "lv2/PortLayout.h"
#include "lv2/TurtleWriter.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " BUNDLE-FOLDER\n";
        return 2;
    }
    const std::string folder = argv[1];
    try {
        std::ofstream manifest(folder + "/manifest.ttl");
        lv2::writeManifest(manifest);
        std::ofstream plugin(folder + "/" + lv2::kTurtleName);
        lv2::writePluginDescription(plugin, engine::ControlTable::instance(), lv2::describePorts());
        manifest.close();
        plugin.close();
        if (!manifest || !plugin) {
            std::cerr << "cannot write the Turtle files into " << folder << "\n";
            return 1;
        }
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    return 0;
}
