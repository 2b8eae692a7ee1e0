// The factory presets: "Default" and the manual's six starting settings, each
// a few parameters at the values a user would type (shown values, by
// symbol); every other parameter stays at its default. The table turns them
// into positions through the control description once, so that every face
// and tool gives a preset exactly the positions typing its values gives.
//
// Threads: built once, then only read; lookups allocate nothing, so the
// audio thread may read a preset's positions.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "effect/ControlDescription.h"
#include "effect/ParameterIndex.h"

namespace engine {

// One parameter of a preset as written: its stable symbol and shown value.
struct PresetValue {
    std::string_view symbol;
    double shown;
};

struct PresetSpec {
    std::string_view name;
    std::vector<PresetValue> values;
};

// The factory presets as written, "Default" first.
const std::vector<PresetSpec>& factoryPresetSpecs();

using PresetPositions = std::array<float, effect::param::count>;

class PresetTable final {
  public:
    // Resolves every preset. Throws std::logic_error for a symbol no control
    // has, a value outside its control's range (or not one of a choice's or
    // switch's values), a symbol named twice or a name used twice, so a
    // mistake in the table stops the build (the generators resolve it).
    explicit PresetTable(const std::vector<effect::ControlDescription>& controls,
                         const std::vector<PresetSpec>& specs = factoryPresetSpecs());

    std::size_t size() const { return names_.size(); }
    const std::string& name(std::size_t index) const { return names_.at(index); }
    // Every parameter's position in host-index order.
    const PresetPositions& positions(std::size_t index) const { return positions_.at(index); }
    // The preset of exactly this name.
    std::optional<std::size_t> find(std::string_view name) const;
    // The names in order, comma-separated, for a message to a user.
    std::string nameList() const;

  private:
    std::vector<std::string> names_;
    std::vector<PresetPositions> positions_;
};

}  // namespace engine
