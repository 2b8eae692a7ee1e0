#include "FactoryPreset.h"

#include <filesystem>
#include <optional>

#include "HostError.h"
#include "ProgramFile.h"
#include "effect/ProductInfo.h"
#include "engine/PresetTable.h"

namespace host {

std::string loadPreset(PluginInstance& plugin, const std::string& nameOrFile) {
    if (plugin.uniqueId() == effect::product::kUniqueId) {
        const engine::PresetTable& presets = engine::PresetTable::factory();
        if (const std::optional<std::size_t> index = presets.find(nameOrFile)) {
            const auto& positions = presets.state(*index).positions;
            Program program{plugin.uniqueId(),
                            plugin.version(),
                            nameOrFile,
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

std::vector<std::string> factoryPresetNames(const PluginInstance& plugin) {
    std::vector<std::string> names;
    if (plugin.uniqueId() != effect::product::kUniqueId) return names;
    const engine::PresetTable& presets = engine::PresetTable::factory();
    for (std::size_t i = 0; i < presets.size(); ++i) names.push_back(presets.name(i));
    return names;
}

}  // namespace host
