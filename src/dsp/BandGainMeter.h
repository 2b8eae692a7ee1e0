// Meters for renderBlock: each observes the band dynamics' gains once per
// frame, after the frame's update. LowestGainMeter keeps each band's lowest
// gain over both channels, relative to the gain at rest (a gain never rises
// above it: envelopes are at least 1); NoGainMeter does nothing and compiles to nothing,
// so a block rendered without meters runs exactly as before.
#pragma once

#include "dsp/BandDynamics.h"
#include "dsp/ForceInline.h"
#include "dsp/Lanes.h"

namespace dsp {

class NoGainMeter final {
  public:
    DSP_FORCE_INLINE void observe(const BandDynamics::Lanes&) {}
    void relateTo(const BandDynamics&) {}
};

class LowestGainMeter final {
  public:
    DSP_FORCE_INLINE void observe(const BandDynamics::Lanes& lanes) {
        lowest_ = lesser(lowest_, lesser(lanes.gainLeft, lanes.gainRight));
    }

    // Divides what was kept by the gain at rest, once the block is done; a
    // band that saw no frame (or only rest) reads 1.
    void relateTo(const BandDynamics& dynamics) {
        const FloatLanes one = _mm_set1_ps(1.0f);
        lowest_ = lesser(lowest_ / dynamics.restingGain(), one);
    }

    // Band 0 first; 1 for a band that saw no frame.
    void store(float* gains) const { _mm_storeu_ps(gains, lowest_); }

  private:
    FloatLanes lowest_ = _mm_set1_ps(1.0f);
};

}  // namespace dsp
