// The host index of each of the effect's twenty parameters, named after the
// parameter's identifier. CompressorEffect registers its parameters in this
// order, checked when it compiles; everything outside the plug-in that
// addresses a parameter (tests, benchmarks) names it here instead of
// numbering it.
#pragma once

#include <array>
#include <cstdint>

namespace effect::param {

enum Index : std::int32_t {
    listenTo,
    masterDrive,
    masterOut,
    release,
    stereoSeparation,
    compressorMode,
    clipOnOff,
    clipShape,
    filterBank,
    crossoverFreq0,
    crossoverFreq1,
    crossoverFreq2,
    driveAdjust0,
    driveAdjust1,
    driveAdjust2,
    driveAdjust3,
    outAdjust0,
    outAdjust1,
    outAdjust2,
    outAdjust3,
    count  // the number of parameters, not one of them
};

}  // namespace effect::param

namespace effect::param {

// Each parameter's identifier, by index: the effect registers its parameters
// under these, and saved state and the faces key on them, so they never change.
inline constexpr std::array<const char*, count> kIdentifiers = {
    "listenTo",       "masterDrive",    "masterOut",      "release",        "stereoSeparation",
    "compressorMode", "clipOnOff",      "clipShape",      "filterBank",     "crossoverFreq0",
    "crossoverFreq1", "crossoverFreq2", "driveAdjust0",   "driveAdjust1",   "driveAdjust2",
    "driveAdjust3",   "outAdjust0",     "outAdjust1",     "outAdjust2",     "outAdjust3",
};

}  // namespace effect::param
