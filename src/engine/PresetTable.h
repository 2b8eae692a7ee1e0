// The factory presets: "Default" and the manual's six starting settings, each
// a few parameters at the values a user would type (shown values, by
// symbol); every other parameter stays at its default. The table turns them
// into states through the control table once, so that every face and tool
// gives a preset exactly the positions typing its values gives.
//
// Threads: built once, then only read; lookups allocate nothing, so the
// audio thread may read a preset's state.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ControlTable.h"
#include "engine/PluginState.h"

namespace engine {

// One parameter of a preset as written: its stable symbol and shown value.
struct PresetValue {
    std::string_view symbol;
    double shown;
};

struct PresetSpec {
    std::string_view name;
    const PresetValue* values;
    std::size_t count;
};

// The factory presets as written, "Default" first.
std::vector<PresetSpec> factoryPresetSpecs();

class PresetTable final {
  public:
    // The factory presets, resolved on first use.
    static const PresetTable& factory();

    // Resolves every preset. Throws std::logic_error for a symbol no
    // parameter has, a value outside its parameter's range (or not one of a
    // choice's or switch's values), a symbol set twice or a name used twice:
    // the generators resolve the table, so a mistake in it stops the build.
    PresetTable(const ControlTable& controls, const std::vector<PresetSpec>& specs);

    std::size_t size() const { return names_.size(); }
    const std::string& name(std::size_t index) const { return names_.at(index); }
    // Every parameter's position, the bypass off.
    const PluginState& state(std::size_t index) const { return states_.at(index); }
    // The preset of exactly this name.
    std::optional<std::size_t> find(std::string_view name) const;
    // The names in order, comma-separated, for a message to a user.
    std::string nameList() const;

  private:
    std::vector<std::string> names_;
    std::vector<PluginState> states_;
};

}  // namespace engine
