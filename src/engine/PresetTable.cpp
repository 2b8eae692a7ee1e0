#include "engine/PresetTable.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace engine {

namespace {

constexpr PresetValue kMixBusGlue[] = {{"masterDrive", 6},
                                       {"masterOut", -7},
                                       {"release", 300},
                                       {"compressorMode", 1},
                                       {"stereoSeparation", 0}};
constexpr PresetValue kDrumBusPunch[] = {
    {"masterDrive", 18}, {"masterOut", -6}, {"release", 50}, {"filterBank", 8}, {"clipOnOff", 1}};
constexpr PresetValue kTightenTheLowEnd[] = {{"filterBank", 11},   {"crossoverFreq0", 120},
                                             {"driveAdjust0", 12}, {"outAdjust0", -6},
                                             {"release", 150},     {"masterOut", -4}};
constexpr PresetValue kTameHarshHighs[] = {{"filterBank", 10},   {"crossoverFreq2", 5000},
                                           {"driveAdjust3", 12}, {"outAdjust3", -6},
                                           {"release", 30},      {"masterOut", -4}};
constexpr PresetValue kLoudMaster[] = {
    {"masterDrive", 24}, {"masterOut", -2}, {"release", 80}, {"clipOnOff", 1}};
constexpr PresetValue kVocalLevelling[] = {{"masterDrive", 18},     {"masterOut", -10},
                                           {"release", 500},        {"compressorMode", 1},
                                           {"stereoSeparation", 0}, {"filterBank", 1}};

template <std::size_t N>
constexpr PresetSpec preset(std::string_view name, const PresetValue (&values)[N]) {
    return {name, values, N};
}

// Names as the manual gives them; a VST 2 program name holds 27 characters.
constexpr PresetSpec kFactoryPresets[] = {
    {"Default", nullptr, 0},
    preset("Mix-bus glue", kMixBusGlue),
    preset("Drum-bus punch", kDrumBusPunch),
    preset("Tighten the low end", kTightenTheLowEnd),
    preset("Tame harsh highs", kTameHarshHighs),
    preset("Loud master", kLoudMaster),
    preset("Vocal or dialogue levelling", kVocalLevelling),
};

constexpr bool namesParameters(const PresetSpec& spec) {
    for (std::size_t i = 0; i < spec.count; ++i) {
        bool found = false;
        for (const char* symbol : effect::param::kIdentifiers)
            found = found || spec.values[i].symbol == symbol;
        if (!found) return false;
    }
    return true;
}

constexpr bool everyPresetNamesParameters() {
    for (const PresetSpec& spec : kFactoryPresets) {
        if (!namesParameters(spec) || spec.name.size() > 27) return false;
    }
    return true;
}

static_assert(everyPresetNamesParameters(),
              "a factory preset names no parameter's symbol, or its name is too long");

// A value the parameter takes as written: within its shown range, and for a
// choice or switch one of its whole values.
bool takesValue(const Control& control, double shown) {
    if (!(shown >= control.minimum() && shown <= control.maximum())) return false;
    return control.kind() == ControlKind::range || std::trunc(shown) == shown;
}

PluginState resolve(const ControlTable& controls, const PresetSpec& spec) {
    PluginState state;
    for (std::size_t i = 0; i < kParameterCount; ++i) {
        state.positions[i] = static_cast<float>(controls.parameter(i).defaultPosition());
    }
    const std::string where = "preset \"" + std::string(spec.name) + "\": ";
    for (std::size_t i = 0; i < spec.count; ++i) {
        const PresetValue& value = spec.values[i];
        const Control* control = controls.findSymbol(value.symbol);
        if (control == nullptr || !control->isParameter()) {
            throw std::logic_error(where + "no parameter " + std::string(value.symbol));
        }
        for (std::size_t k = 0; k < i; ++k) {
            if (spec.values[k].symbol == value.symbol) {
                throw std::logic_error(where + std::string(value.symbol) + " set twice");
            }
        }
        if (!takesValue(*control, value.shown)) {
            throw std::logic_error(where + std::to_string(value.shown) + " is not a value of " +
                                   std::string(value.symbol));
        }
        state.positions[control->id()] = static_cast<float>(control->positionFor(value.shown));
    }
    return state;
}

}  // namespace

std::vector<PresetSpec> factoryPresetSpecs() {
    return {std::begin(kFactoryPresets), std::end(kFactoryPresets)};
}

const PresetTable& PresetTable::factory() {
    static const PresetTable table(ControlTable::instance(), factoryPresetSpecs());
    return table;
}

PresetTable::PresetTable(const ControlTable& controls, const std::vector<PresetSpec>& specs) {
    for (const PresetSpec& spec : specs) {
        if (find(spec.name)) {
            throw std::logic_error("preset \"" + std::string(spec.name) + "\" named twice");
        }
        states_.push_back(resolve(controls, spec));
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
