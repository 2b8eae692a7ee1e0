// What the plug-in saves: every parameter's position and the bypass.
#pragma once

#include <array>

#include "engine/ControlIds.h"

namespace engine {

struct PluginState {
    std::array<float, kParameterCount> positions{};
    bool bypass = false;

    bool operator==(const PluginState& other) const {
        return positions == other.positions && bypass == other.bypass;
    }
};

}  // namespace engine
