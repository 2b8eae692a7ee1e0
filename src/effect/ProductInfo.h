// Who the plug-in is, the same to every face: the names a host lists, the
// maker, the VST 2 unique ID (which also derives the VST 3 class ID) and the
// version, which comes from the project's version.
#pragma once

#include <cstdint>

#include "effect/ProductVersion.h"

namespace effect::product {

constexpr const char* kEffectName = "Compressor";
constexpr const char* kProductName = "Compressor";
constexpr const char* kVendorName = "Tessel @ Vantrelix";
constexpr std::int32_t kUniqueId = 0x4B7A7734;  // 'Kzw4'

}  // namespace effect::product
