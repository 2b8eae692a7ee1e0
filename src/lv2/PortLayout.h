// The order of the plug-in's ports: audio in left/right, audio out
// left/right, the effect's parameters in ID order, one meter per band, then
// the enabled switch (last, so that the ports before it keep their indexes).
#pragma once

#include <cstdint>

#include "engine/ControlIds.h"

namespace lv2 {

constexpr const char* kPluginUri = "urn:tessel-vantrelix:compressor";
constexpr const char* kBinaryName = "TesselCompressor.so";
constexpr const char* kTurtleName = "TesselCompressor.ttl";

constexpr std::uint32_t kInputLeftPort = 0;
constexpr std::uint32_t kInputRightPort = 1;
constexpr std::uint32_t kOutputLeftPort = 2;
constexpr std::uint32_t kOutputRightPort = 3;
constexpr std::uint32_t kFirstControlPort = 4;
constexpr auto kMeterCount = static_cast<std::uint32_t>(engine::kMeterCount);
constexpr auto kFirstMeterPort =
    kFirstControlPort + static_cast<std::uint32_t>(engine::kParameterCount);
// lv2:enabled: 1 processes, 0 bypasses, crossfaded as the engine's bypass.
constexpr std::uint32_t kEnabledPort = kFirstMeterPort + kMeterCount;
constexpr const char* kEnabledSymbol = "enabled";

}  // namespace lv2
