// The IDs every face gives the controls: a parameter's ID is its VST 2 index,
// the bypass and the meters sit outside that range so that a parameter added
// there never meets them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "effect/ParameterIndex.h"

namespace engine {

using ControlId = std::uint32_t;

inline constexpr std::size_t kParameterCount = effect::param::count;
inline constexpr ControlId kBypassId = 100;
inline constexpr const char* kBypassSymbol = "bypass";
inline constexpr ControlId kFirstMeterId = 101;
inline constexpr std::size_t kMeterCount = 4;
// Every control: the parameters, the bypass, the meters.
inline constexpr std::size_t kControlCount = kParameterCount + 1 + kMeterCount;
// A meter shows gain reduction from this many dB up to 0.
inline constexpr double kDeepestMeterDb = -60.0;

constexpr bool isParameter(ControlId id) {
    return id < kParameterCount;
}
constexpr bool isMeter(ControlId id) {
    return id >= kFirstMeterId && id < kFirstMeterId + kMeterCount;
}
constexpr bool isKnown(ControlId id) {
    return isParameter(id) || id == kBypassId || isMeter(id);
}
constexpr ControlId meterId(std::size_t band) {
    return kFirstMeterId + static_cast<ControlId>(band);
}

// A band's gain reduction in dB from its lowest gain in a block: 0 at rest,
// negative while compressing. A gain that underflowed to 0 reads as the
// smallest normal float's level, not -inf.
double gainReductionDb(float lowestGain);

}  // namespace engine
