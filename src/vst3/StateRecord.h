// The plug-in's saved state and the ways it is read back.
//
// Own record, every number little-endian (92 bytes):
//   offset  size  field
//        0     4  tag "TCv3"
//        4     4  version, 1
//        8  4*20  the parameters' positions (32-bit floats, 0..1), VST 2 index order
//       88     4  bypass, 0 or 1
// Also read: the VST 2 plug-in's program (.fxp) or bank (.fxb) in parameter
// form, big-endian as VST 2 writes them; a bank gives its current program
// (the first in a version-1 bank). Bypass is off after those.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "effect/ParameterIndex.h"
#include "vst3/Vst3Interfaces.h"

namespace vst3 {

struct PluginState {
    std::array<float, effect::param::count> positions{};
    bool bypass = false;
};

inline constexpr std::size_t kStateBytes = 92;

std::array<std::uint8_t, kStateBytes> encodeState(const PluginState& state);

// Reads one state from the stream: the own record or VST 2 data of the
// plug-in with this unique ID. Nothing for anything short, of another tag,
// version or plug-in, or holding a value that is not a position.
std::optional<PluginState> readState(IBStream* stream, std::int32_t uniqueId);
// False unless the host took every byte.
bool writeState(IBStream* stream, const PluginState& state);

}  // namespace vst3
