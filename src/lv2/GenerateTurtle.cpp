// Writes manifest.ttl and the plug-in's .ttl into a bundle folder, from the
// parameter list of a compressor effect made for the purpose.
#include <exception>
#include <fstream>
#include <iostream>
#include <string>

#include "effect/CompressorEffect.h"
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
        const effect::CompressorEffect effect(nullptr);
        std::ofstream manifest(folder + "/manifest.ttl");
        lv2::writeManifest(manifest);
        std::ofstream plugin(folder + "/" + lv2::kTurtleName);
        lv2::writePluginDescription(plugin, lv2::describePorts(effect.parameterList()));
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
