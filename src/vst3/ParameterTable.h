// The engine's controls as the VST 3 controller lists them: IDs, infos,
// normalized values (the control's position), plain values (its shown
// value) and texts, all read from the engine's control table.
//
// Threads: only reads the table; safe from any thread.
#pragma once

#include <optional>
#include <string>

#include "engine/ControlTable.h"
#include "vst3/Vst3Interfaces.h"

namespace vst3 {

class ParameterTable final {
  public:
    static constexpr int32 kCount = static_cast<int32>(engine::kControlCount);

    explicit ParameterTable(const engine::ControlTable& controls) : controls_(controls) {}

    // The control of an ID; nullptr for an unknown one.
    const engine::Control* find(ParamID id) const { return controls_.find(id); }
    bool describe(int32 index, ParameterInfo& info) const;
    // The position the effect reports once it has taken this one: a choice's
    // or switch's own position, a range's unchanged.
    double reportedPosition(const engine::Control& control, double normalized) const {
        return control.positionFor(control.shownAt(normalized));
    }

  private:
    const engine::ControlTable& controls_;
};

// UTF-8 into a host's UTF-16 buffer of `capacity` units, cut and terminated.
void copyUtf16(const std::string& text, char16* into, std::size_t capacity);
// A host's NUL-terminated UTF-16 text as UTF-8.
std::string fromUtf16(const char16* text);

}  // namespace vst3
