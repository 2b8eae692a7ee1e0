// Writes one preset file for VST 3 hosts per factory preset, each named after
// its preset and holding the state the plug-in saves at it, into
// FOLDER/VENDOR/PLUG-IN/, as hosts' preset folders lay them out.
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "effect/ProductInfo.h"
#include "engine/PresetTable.h"
#include "engine/StateRecord.h"
#include "vst3/ClassId.h"
#include "vst3/PresetFile.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " FOLDER\n";
        return 2;
    }
    try {
        const std::filesystem::path folder = std::filesystem::path(argv[1]) /
                                             effect::product::kVendorName /
                                             effect::product::kProductName;
        std::filesystem::create_directories(folder);
        const engine::PresetTable& presets = engine::PresetTable::factory();
        const vst3::ClassWords classId = vst3::replacementClassWords(
            static_cast<vst3::uint32>(effect::product::kUniqueId), effect::product::kEffectName);
        for (std::size_t i = 0; i < presets.size(); ++i) {
            const engine::StateBytes record = engine::encodeState(presets.state(i));
            const std::vector<std::uint8_t> bytes =
                vst3::encodePresetFile(classId, {record.begin(), record.end()});
            const std::filesystem::path path = folder / (presets.name(i) + ".vstpreset");
            std::ofstream out(path, std::ios::binary);
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
            out.close();
            if (!out) {
                std::cerr << "cannot write " << path.string() << "\n";
                return 1;
            }
        }
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    return 0;
}
