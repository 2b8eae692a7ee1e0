#include "FactoryPreset.h"

#include <filesystem>
#include <optional>

#include "HostError.h"
#include "ProgramFile.h"
#include "effect/CompressorEffect.h"
#include "effect/ProductInfo.h"
#include "engine/PresetTable.h"

namespace host {

std::string loadPreset(PluginInstance& plugin, const std::string& nameOrFile) {
    if (plugin.uniqueId() == effect::product::kUniqueId) {
        const effect::CompressorEffect described(nullptr);
        const engine::PresetTable presets(effect::describeControls(described.parameterList()));
        if (const std::optional<std::size_t> index = presets.find(nameOrFile)) {
            const engine::PresetPositions& positions = presets.positions(*index);
            Program program{plugin.uniqueId(), plugin.version(), nameOrFile,
                            {positions.begin(), positions.end()}};
            applyProgram(plugin, program, nameOrFile);
            return nameOrFile;
        }
        std::error_code error;
        if (!std::filesystem::exists(nameOrFile, error)) {
            throw HostError("'" + nameOrFile + "' is neither a program file nor a preset of " +
                            plugin.effectName() + "; its presets: " + presets.nameList());
        }
    }
    applyProgram(plugin, readProgramFile(nameOrFile), nameOrFile);
    return {};
}

}  // namespace host
