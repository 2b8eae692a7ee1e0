#include "engine/PresetTable.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace engine {

const std::vector<PresetSpec>& factoryPresetSpecs() {
    static const std::vector<PresetSpec> specs = {
        {"Default", {}},
        {"Mix-bus glue",
         {{"masterDrive", 6}, {"masterOut", -7}, {"release", 300}, {"compressorMode", 1},
          {"stereoSeparation", 0}}},
        {"Drum-bus punch",
         {{"masterDrive", 18}, {"masterOut", -6}, {"release", 50}, {"filterBank", 8},
          {"clipOnOff", 1}}},
        {"Tighten the low end",
         {{"filterBank", 11}, {"crossoverFreq0", 120}, {"driveAdjust0", 12}, {"outAdjust0", -6},
          {"release", 150}, {"masterOut", -4}}},
        {"Tame harsh highs",
         {{"filterBank", 10}, {"crossoverFreq2", 5000}, {"driveAdjust3", 12}, {"outAdjust3", -6},
          {"release", 30}, {"masterOut", -4}}},
        {"Loud master",
         {{"masterDrive", 24}, {"masterOut", -2}, {"release", 80}, {"clipOnOff", 1}}},
        {"Vocal or dialogue levelling",
         {{"masterDrive", 18}, {"masterOut", -10}, {"release", 500}, {"compressorMode", 1},
          {"stereoSeparation", 0}, {"filterBank", 1}}},
    };
    return specs;
}

namespace {

// A value the control takes as written: within its shown range, and for a
// choice or switch one of its whole values.
bool takesValue(const effect::ControlDescription& control, double shown) {
    if (!(shown >= control.minimum() && shown <= control.maximum())) return false;
    return control.kind() == effect::ControlKind::range || std::trunc(shown) == shown;
}

PresetPositions resolve(const PresetSpec& spec,
                        const std::vector<effect::ControlDescription>& controls) {
    if (controls.size() != effect::param::count) {
        throw std::logic_error("the description has " + std::to_string(controls.size()) +
                               " controls, not one per parameter");
    }
    PresetPositions positions{};
    for (const effect::ControlDescription& control : controls) {
        positions.at(static_cast<std::size_t>(control.index())) = control.defaultPosition();
    }
    std::vector<std::string_view> named;
    for (const PresetValue& value : spec.values) {
        const std::string where = "preset \"" + std::string(spec.name) + "\": ";
        const auto control =
            std::find_if(controls.begin(), controls.end(), [&](const auto& candidate) {
                return candidate.identifier() == value.symbol;
            });
        if (control == controls.end()) {
            throw std::logic_error(where + "no parameter " + std::string(value.symbol));
        }
        if (std::find(named.begin(), named.end(), value.symbol) != named.end()) {
            throw std::logic_error(where + std::string(value.symbol) + " set twice");
        }
        named.push_back(value.symbol);
        if (!takesValue(*control, value.shown)) {
            throw std::logic_error(where + std::to_string(value.shown) + " is not a value of " +
                                   std::string(value.symbol));
        }
        positions.at(static_cast<std::size_t>(control->index())) =
            control->positionFor(value.shown);
    }
    return positions;
}

}  // namespace

PresetTable::PresetTable(const std::vector<effect::ControlDescription>& controls,
                         const std::vector<PresetSpec>& specs) {
    for (const PresetSpec& spec : specs) {
        if (find(spec.name)) {
            throw std::logic_error("preset \"" + std::string(spec.name) + "\" named twice");
        }
        positions_.push_back(resolve(spec, controls));
        names_.emplace_back(spec.name);
    }
}

std::optional<std::size_t> PresetTable::find(std::string_view name) const {
    const auto found = std::find(names_.begin(), names_.end(), name);
    if (found == names_.end()) return std::nullopt;
    return static_cast<std::size_t>(found - names_.begin());
}

std::string PresetTable::nameList() const {
    std::string list;
    for (const std::string& name : names_) list += (list.empty() ? "" : ", ") + name;
    return list;
}

}  // namespace engine
