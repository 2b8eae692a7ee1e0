#include "PluginSettings.h"

#include "HostError.h"
#include "InfoReport.h"
#include "Vst2Plugin.h"

namespace host {

std::vector<AppliedSetting> applySettings(Plugin& plugin, const std::string& preset,
                                          const std::vector<ParameterAssignment>& settings) {
    if (!preset.empty()) plugin.loadPreset(preset);
    auto* vst2 = dynamic_cast<Vst2Plugin*>(&plugin);
    std::vector<AppliedSetting> applied;
    for (const ParameterAssignment& assignment : settings) {
        if (vst2 != nullptr) {
            const ParameterState state = ParameterSetter(vst2->instance()).apply(assignment);
            applied.push_back(
                {state.name,
                 state.label.empty() ? state.display : state.display + " " + state.label,
                 positionText(state.position)});
            continue;
        }
        if (assignment.normalised) {
            throw HostError("--set-norm is for VST 2 plug-ins; give --set " + assignment.parameter +
                            "=VALUE in shown terms");
        }
        const std::size_t index = plugin.findParameter(assignment.parameter);
        plugin.setValue(index, plugin.valueFor(index, assignment.value));
        applied.push_back({plugin.parameters()[index].name, plugin.display(index), {}});
    }
    return applied;
}

}  // namespace host
