// What the window shows at a moment: every control's position, the meters,
// the bands' responses, focus and a value being typed. The editor changes
// it; the painter only reads it.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "editor/BandResponse.h"
#include "editor/PeakMeter.h"
#include "engine/ControlIds.h"

namespace editor {

inline constexpr std::size_t kNoWidget = static_cast<std::size_t>(-1);

struct Scene {
    // A parameter's position at its ID, the bypass's after them.
    static constexpr std::size_t kBypassSlot = engine::kParameterCount;
    static constexpr std::size_t kNoSlot = kNoWidget;
    std::array<double, engine::kParameterCount + 1> positions{};
    std::array<PeakMeter, engine::kMeterCount> meters{};
    BandResponse response;
    std::size_t focus = kNoWidget;
    std::size_t typing = kNoWidget;
    std::string typed;
    bool typedInvalid = false;
    bool caretShown = true;

    // The slot of a parameter or the bypass; kNoSlot for any other ID.
    static std::size_t slot(engine::ControlId id) {
        if (engine::isParameter(id)) return id;
        return id == engine::kBypassId ? kBypassSlot : kNoSlot;
    }
    // 0 for an ID that has no position here (a meter's).
    double position(engine::ControlId id) const {
        const std::size_t at = slot(id);
        return at < positions.size() ? positions[at] : 0.0;
    }
};

}  // namespace editor
