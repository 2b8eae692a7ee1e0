// The order of the plug-in's ports: audio in left/right, audio out
// left/right, the effect's parameters in host-index order, then one meter per
// band.
#pragma once

#include <cstdint>

namespace lv2 {

constexpr const char* kPluginUri = "urn:tessel-vantrelix:compressor";
constexpr const char* kBinaryName = "TesselCompressor.so";
constexpr const char* kTurtleName = "TesselCompressor.ttl";
// The editor: an X11 UI in a library of its own, so the plug-in's stays free of X.
constexpr const char* kUiUri = "urn:tessel-vantrelix:compressor#editor";
constexpr const char* kUiBinaryName = "TesselCompressorUI.so";

constexpr std::uint32_t kInputLeftPort = 0;
constexpr std::uint32_t kInputRightPort = 1;
constexpr std::uint32_t kOutputLeftPort = 2;
constexpr std::uint32_t kOutputRightPort = 3;
constexpr std::uint32_t kFirstControlPort = 4;
constexpr std::uint32_t kMeterCount = 4;
// The meters read down to this and no further on a generic display.
constexpr float kDeepestMeterReading = -60.0f;

}  // namespace lv2
