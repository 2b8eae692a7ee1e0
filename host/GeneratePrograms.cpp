// Writes one VST 2 program file (.fxp) per factory preset into a folder, each
// named after its preset, with the command-line host's program writer: VST 2
// hosts load them through their own preset menus, as the plug-in itself keeps
// its one program.
#include <exception>
#include <filesystem>
#include <iostream>

#include "ProgramFile.h"
#include "effect/CompressorEffect.h"
#include "engine/PresetTable.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " FOLDER\n";
        return 2;
    }
    try {
        const std::filesystem::path folder = argv[1];
        std::filesystem::create_directories(folder);
        effect::CompressorEffect effect(nullptr);
        const engine::PresetTable& presets = engine::PresetTable::factory();
        for (std::size_t i = 0; i < presets.size(); ++i) {
            const auto& positions = presets.state(i).positions;
            const host::Program program{effect.record()->uniqueID,
                                        effect.record()->version,
                                        presets.name(i),
                                        {positions.begin(), positions.end()}};
            host::writeProgramFile((folder / (presets.name(i) + ".fxp")).string(), program);
        }
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    return 0;
}
