// The engine's state record through a host's stream: read whole, written whole.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "engine/StateRecord.h"
#include "vst3/Vst3Interfaces.h"

namespace vst3 {

// The bytes of one record or VST 2 program or bank, as far as the stream
// holds them; nothing when it starts with anything else or ends too soon.
std::optional<std::vector<std::uint8_t>> readState(IBStream* stream);
// False unless the host took every byte.
bool writeState(IBStream* stream, engine::StateBytes record);

}  // namespace vst3
