// A processor that works in place on the bands of one stereo sample.
//
// Threads: configure runs under the effect's lock on a host thread,
// processBands under the same lock on the audio thread.
#pragma once

#include <cstdint>

namespace dsp {

class MultibandProcessor {
  public:
    virtual ~MultibandProcessor();

    virtual std::int32_t bandCount() const = 0;
    // frequencies: the three crossovers in Hz as the bank got them; gains are
    // plain factors, release in seconds, separation 0 (linked) to 1 (apart).
    virtual void configure(const float* frequencies, float sampleRate, float masterDrive,
                           const float* driveAdjust, float masterOut, const float* outAdjust,
                           float release, float separation, bool squareRootMode) = 0;
    // Rewrites entries 0 .. bandCount() - 1 of both arrays.
    virtual void processBands(float* left, float* right) = 0;
};

}  // namespace dsp
