// The factory presets as the VST 3 controller offers them to hosts that read
// no preset files: one program list on the root unit, selected through a
// parameter flagged kIsProgramChange whose normalized value is
// program / (programs - 1). That parameter is transient: it is not saved.
//
// Threads: only reads the preset table; safe from any thread, and programAt
// and the preset states allocate nothing (for the audio thread).
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "engine/ControlIds.h"
#include "engine/PresetTable.h"
#include "vst3/Vst3Interfaces.h"

namespace vst3 {

// Outside the engine's IDs, so that no control ever takes it.
inline constexpr ParamID kProgramChangeId = 105;
static_assert(!engine::isKnown(kProgramChangeId));
inline constexpr ProgramListID kFactoryListId = 1;

class ProgramList final {
  public:
    explicit ProgramList(const engine::PresetTable& presets) : presets_(presets) {}

    int32 count() const { return static_cast<int32>(presets_.size()); }
    // The program a normalized value selects; nothing for NaN.
    std::optional<std::size_t> programAt(double normalized) const;
    double normalizedOf(std::size_t program) const;
    // The plain value is the program's number.
    double plainOf(double normalized) const;
    double normalizedFor(double plain) const;
    const engine::PluginState& state(std::size_t program) const { return presets_.state(program); }

    void describeParameter(ParameterInfo& info) const;
    // The program's name, as a host shows the parameter's value.
    std::string text(double normalized) const;
    std::optional<double> fromText(const std::string& text) const;

    bool describeUnit(int32 index, UnitInfo& info) const;
    bool describeList(int32 index, ProgramListInfo& info) const;
    bool programName(ProgramListID list, int32 program, String128 name) const;

  private:
    const engine::PresetTable& presets_;
};

}  // namespace vst3
