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
//
// The four bands run side by side in SSE2 lanes, each lane doing exactly the
// operations, precisions and order of one band, so the result is the same as
// band by band.
#pragma once

#include <emmintrin.h>

#include <array>
#include <cstdint>
#include <limits>

#include "dsp/ForceInline.h"
#include "dsp/MultibandProcessor.h"

namespace dsp {

class BandDynamics final : public MultibandProcessor {
  public:
    static constexpr std::int32_t kBandCount = 4;

    // The states that change every sample, held in registers: gains as four
    // float lanes (band 0 lowest), envelopes as two pairs of double lanes
    // (low: bands 0 and 1, high: bands 2 and 3). A block loop loads them
    // once, passes them to processBands for each sample and stores them at
    // the end. Named fields rather than arrays, so that no compiler has to
    // unroll a loop to keep them out of memory.
    struct Lanes {
        __m128 gainLeft;
        __m128 gainRight;
        __m128d envelopeLeftLow;
        __m128d envelopeLeftHigh;
        __m128d envelopeRightLow;
        __m128d envelopeRightHigh;
    };

    std::int32_t bandCount() const override { return kBandCount; }
    void configure(const float* frequencies, float sampleRate, float masterDrive,
                   const float* driveAdjust, float masterOut, const float* outAdjust, float release,
                   float separation, bool squareRootMode) override;
    void processBands(float* left, float* right) override;
    // Envelopes and gains back to their start; the coefficients stay.
    void resetStates();

    Lanes loadLanes() const;
    void storeLanes(const Lanes& lanes);
    // One sample on states held in lanes; the coefficients are read from the
    // object. Defined below so that the processing driver can inline it.
    void processBands(Lanes& lanes, float* left, float* right) const;

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

    static constexpr std::int32_t kInverseSqrtSeed = static_cast<std::int32_t>(0xBE6F0000u);
    static constexpr double kLargestEnvelope = std::numeric_limits<double>::max();

    static __m128 joinHalves(__m128 low, __m128 high) { return _mm_movelh_ps(low, high); }
    static __m128d lowHalf(__m128 x) { return _mm_cvtps_pd(x); }
    static __m128d highHalf(__m128 x) { return _mm_cvtps_pd(_mm_movehl_ps(x, x)); }
    static __m128 inverseSqrtPair(__m128d envelope);
    static void keepWithinRange(__m128d& envelopeLeft, __m128d& envelopeRight);
    static void updateEnvelopes(__m128d smoothing, __m128d same, __m128d cross, __m128d powerLeft,
                                __m128d powerRight, __m128d& envelopeLeft, __m128d& envelopeRight);
    static void plainGains(__m128d envelopeLeft, __m128d envelopeRight, __m128& gainLeft,
                           __m128& gainRight);

    bool squareRootMode_ = false;
    // Coefficients. The double ones hold exact widenings of the float values
    // the gain laws were specified with.
    double sameWeight_ = 1.0;
    double crossWeight_ = 0.0;
    FloatBands inputGain_{};
    FloatBands outputGain_{};
    DoubleBands smoothing_{1.0, 1.0, 1.0, 1.0};
    // States.
    DoubleBands envelopeLeft_{1.0, 1.0, 1.0, 1.0};
    DoubleBands envelopeRight_{1.0, 1.0, 1.0, 1.0};
    FloatBands gainLeft_{1.0f, 1.0f, 1.0f, 1.0f};
    FloatBands gainRight_{1.0f, 1.0f, 1.0f, 1.0f};
};

inline BandDynamics::Lanes BandDynamics::loadLanes() const {
    return {_mm_loadu_ps(gainLeft_.data()),   _mm_loadu_ps(gainRight_.data()),
            _mm_loadu_pd(&envelopeLeft_[0]),  _mm_loadu_pd(&envelopeLeft_[2]),
            _mm_loadu_pd(&envelopeRight_[0]), _mm_loadu_pd(&envelopeRight_[2])};
}

inline void BandDynamics::storeLanes(const Lanes& lanes) {
    _mm_storeu_ps(gainLeft_.data(), lanes.gainLeft);
    _mm_storeu_ps(gainRight_.data(), lanes.gainRight);
    _mm_storeu_pd(&envelopeLeft_[0], lanes.envelopeLeftLow);
    _mm_storeu_pd(&envelopeLeft_[2], lanes.envelopeLeftHigh);
    _mm_storeu_pd(&envelopeRight_[0], lanes.envelopeRightLow);
    _mm_storeu_pd(&envelopeRight_[2], lanes.envelopeRightHigh);
}

inline void BandDynamics::processBands(float* left, float* right) {
    Lanes lanes = loadLanes();
    processBands(lanes, left, right);
    storeLanes(lanes);
}

// 1 / sqrt(envelope) for one pair of double lanes, in the two low float
// lanes: a first guess from the bit pattern of the envelope's float value
// (envelopes are at least 1, so the pattern lies below the seed), then three
// Newton steps y * (1.5 - envelope / 2 * y^2) in double, each rounded to
// float. The pair stays apart from the other until the end, so that no
// shuffle lengthens the chain from one sample to the next.
DSP_FORCE_INLINE __m128 BandDynamics::inverseSqrtPair(__m128d envelope) {
    const __m128i bits = _mm_castps_si128(_mm_cvtpd_ps(envelope));
    __m128 y =
        _mm_castsi128_ps(_mm_srli_epi32(_mm_sub_epi32(_mm_set1_epi32(kInverseSqrtSeed), bits), 1));
    // envelope / 2 is exact, so multiplying by one half gives the same value.
    const __m128d half = _mm_mul_pd(envelope, _mm_set1_pd(0.5));
    const __m128d threeHalves = _mm_set1_pd(1.5);
#pragma GCC unroll 3
    for (int step = 0; step < 3; ++step) {
        const __m128d wide = _mm_cvtps_pd(y);
        y = _mm_cvtpd_ps(
            _mm_mul_pd(wide, _mm_sub_pd(threeHalves, _mm_mul_pd(half, _mm_mul_pd(wide, wide)))));
    }
    return y;
}

// Finite envelopes of at least 1 are what the gain laws need. Band values far
// beyond any audio level can break that: a power that overflows, or with a
// release of 0 a huge envelope whose update cancels to 0. Such a band starts
// afresh at envelope 1 on both channels (and so at gain 1) instead of putting
// out NaN for the rest of the session. NaN fails every comparison.
DSP_FORCE_INLINE void BandDynamics::keepWithinRange(__m128d& envelopeLeft, __m128d& envelopeRight) {
    const __m128d one = _mm_set1_pd(1.0);
    const __m128d largest = _mm_set1_pd(kLargestEnvelope);
    const __m128d valid = _mm_and_pd(
        _mm_and_pd(_mm_cmpge_pd(envelopeLeft, one), _mm_cmple_pd(envelopeLeft, largest)),
        _mm_and_pd(_mm_cmpge_pd(envelopeRight, one), _mm_cmple_pd(envelopeRight, largest)));
    envelopeLeft = _mm_or_pd(_mm_and_pd(valid, envelopeLeft), _mm_andnot_pd(valid, one));
    envelopeRight = _mm_or_pd(_mm_and_pd(valid, envelopeRight), _mm_andnot_pd(valid, one));
}

// envelope + g * (same * own power + cross * other power + 1 - envelope): the
// target is 1 plus the weighted power, so an envelope never falls below 1.
DSP_FORCE_INLINE void BandDynamics::updateEnvelopes(__m128d smoothing, __m128d same, __m128d cross,
                                                    __m128d powerLeft, __m128d powerRight,
                                                    __m128d& envelopeLeft, __m128d& envelopeRight) {
    const __m128d one = _mm_set1_pd(1.0);
    const __m128d gapLeft = _mm_sub_pd(
        _mm_add_pd(_mm_add_pd(_mm_mul_pd(same, powerLeft), _mm_mul_pd(cross, powerRight)), one),
        envelopeLeft);
    const __m128d gapRight = _mm_sub_pd(
        _mm_add_pd(_mm_add_pd(_mm_mul_pd(same, powerRight), _mm_mul_pd(cross, powerLeft)), one),
        envelopeRight);
    envelopeLeft = _mm_add_pd(envelopeLeft, _mm_mul_pd(smoothing, gapLeft));
    envelopeRight = _mm_add_pd(envelopeRight, _mm_mul_pd(smoothing, gapRight));
    keepWithinRange(envelopeLeft, envelopeRight);
}

// One division serves both channels of a band; the left gain goes through the
// reciprocal rounded to float. Writes the two float lanes of each gain.
DSP_FORCE_INLINE void BandDynamics::plainGains(__m128d envelopeLeft, __m128d envelopeRight,
                                               __m128& gainLeft, __m128& gainRight) {
    const __m128d reciprocal =
        _mm_div_pd(_mm_set1_pd(1.0), _mm_mul_pd(envelopeLeft, envelopeRight));
    gainRight = _mm_cvtpd_ps(_mm_mul_pd(envelopeLeft, reciprocal));
    gainLeft = _mm_cvtpd_ps(_mm_mul_pd(_mm_cvtps_pd(_mm_cvtpd_ps(reciprocal)), envelopeRight));
}

DSP_FORCE_INLINE void BandDynamics::processBands(Lanes& lanes, float* left, float* right) const {
    const __m128 inputGain = _mm_loadu_ps(inputGain_.data());
    const __m128 drivenLeft = _mm_mul_ps(inputGain, _mm_loadu_ps(left));
    const __m128 drivenRight = _mm_mul_ps(inputGain, _mm_loadu_ps(right));

    // The detector sees the previous sample's gain: a one-sample feedback loop.
    const __m128 detectedLeft = _mm_mul_ps(lanes.gainLeft, drivenLeft);
    const __m128 detectedRight = _mm_mul_ps(lanes.gainRight, drivenRight);
    const __m128 powerLeft = _mm_mul_ps(detectedLeft, detectedLeft);
    const __m128 powerRight = _mm_mul_ps(detectedRight, detectedRight);

    const __m128d same = _mm_set1_pd(sameWeight_);
    const __m128d cross = _mm_set1_pd(crossWeight_);
    updateEnvelopes(_mm_loadu_pd(&smoothing_[0]), same, cross, lowHalf(powerLeft),
                    lowHalf(powerRight), lanes.envelopeLeftLow, lanes.envelopeRightLow);
    updateEnvelopes(_mm_loadu_pd(&smoothing_[2]), same, cross, highHalf(powerLeft),
                    highHalf(powerRight), lanes.envelopeLeftHigh, lanes.envelopeRightHigh);

    if (squareRootMode_) {
        lanes.gainLeft = joinHalves(inverseSqrtPair(lanes.envelopeLeftLow),
                                    inverseSqrtPair(lanes.envelopeLeftHigh));
        lanes.gainRight = joinHalves(inverseSqrtPair(lanes.envelopeRightLow),
                                     inverseSqrtPair(lanes.envelopeRightHigh));
    } else {
        __m128 leftLow;
        __m128 leftHigh;
        __m128 rightLow;
        __m128 rightHigh;
        plainGains(lanes.envelopeLeftLow, lanes.envelopeRightLow, leftLow, rightLow);
        plainGains(lanes.envelopeLeftHigh, lanes.envelopeRightHigh, leftHigh, rightHigh);
        lanes.gainLeft = joinHalves(leftLow, leftHigh);
        lanes.gainRight = joinHalves(rightLow, rightHigh);
    }

    const __m128 outputGain = _mm_loadu_ps(outputGain_.data());
    _mm_storeu_ps(left, _mm_mul_ps(_mm_mul_ps(outputGain, drivenLeft), lanes.gainLeft));
    _mm_storeu_ps(right, _mm_mul_ps(_mm_mul_ps(outputGain, drivenRight), lanes.gainRight));
}

}  // namespace dsp
