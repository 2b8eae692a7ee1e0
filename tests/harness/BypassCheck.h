// What every face's bypass must do, checked on one render: a low, loud tone
// through a face whose bypass goes on at one frame and off at a later one,
// against the same face never bypassed.
#pragma once

#include <cstddef>
#include <string>

#include "PluginHarness.h"

namespace testhost {

// A low, loud tone: small steps between samples, far from its compressed self.
Stereo bypassTestTone(std::size_t frames);
// The frame in [from, to) where the tone and its compressed self differ most,
// where a hard switch would jump furthest.
std::size_t widestGap(const Stereo& signal, const Stereo& compressed, std::size_t from,
                      std::size_t to);
// The first fault of `out`, bypassed from `on` to `off`, or empty: well after
// each switch it must be the input bit for bit while bypassed and the
// never-bypassed sound once back on (the compressor ran on meanwhile); around
// each switch no step much beyond the steps of the two signals (no click).
std::string bypassFault(const Stereo& out, const Stereo& signal, const Stereo& compressed,
                        std::size_t on, std::size_t off);

}  // namespace testhost
