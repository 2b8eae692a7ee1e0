// Four-band stereo feedback compressor. Per band and channel the detector
// measures the power of the band after the previous sample's gain, smooths it
// with one time constant per band (no separate attack and release), and the
// next gain follows from the smoothed value:
//   plain law        gain = 1 / envelope        (about 3:1 well above level 1)
//   square-root law  gain = 1 / sqrt(envelope)  (about 2:1)
// Master and per-band drive fold into one input gain, master and per-band
// output into one output gain. Separation sets how much of the other channel's
// power each detector sees.
//
// Envelopes and gains start at 1; configure changes only the coefficients, so
// a parameter change takes effect without a jump. Only a band whose envelope
// has left the finite range at or above 1 (input far beyond any audio level)
// is reset to 1.
#pragma once

#include <array>
#include <cstdint>

#include "dsp/MultibandProcessor.h"

namespace dsp {

class BandDynamics final : public MultibandProcessor {
  public:
    static constexpr std::int32_t kBandCount = 4;

    std::int32_t bandCount() const override { return kBandCount; }
    void configure(const float* frequencies, float sampleRate, float masterDrive,
                   const float* driveAdjust, float masterOut, const float* outAdjust, float release,
                   float separation, bool squareRootMode) override;
    void processBands(float* left, float* right) override;

    // A copy of one band's coefficients and states, for inspection.
    struct BandReadout {
        float inputGain;
        float outputGain;
        float smoothing;
        double envelopeLeft;
        double envelopeRight;
        float gainLeft;
        float gainRight;
    };
    BandReadout band(std::int32_t index) const;

  private:
    using FloatBands = std::array<float, kBandCount>;
    using DoubleBands = std::array<double, kBandCount>;

    void updateGainsPlain(std::size_t band, double envelopeLeft, double envelopeRight);
    void updateGainsSquareRoot(std::size_t band, double envelopeLeft, double envelopeRight);

    float sameWeight_ = 1.0f;
    float crossWeight_ = 0.0f;
    bool squareRootMode_ = false;
    FloatBands inputGain_{};
    DoubleBands envelopeLeft_{1.0, 1.0, 1.0, 1.0};
    DoubleBands envelopeRight_{1.0, 1.0, 1.0, 1.0};
    FloatBands smoothing_{1.0f, 1.0f, 1.0f, 1.0f};
    FloatBands gainLeft_{1.0f, 1.0f, 1.0f, 1.0f};
    FloatBands gainRight_{1.0f, 1.0f, 1.0f, 1.0f};
    FloatBands outputGain_{};
};

}  // namespace dsp
