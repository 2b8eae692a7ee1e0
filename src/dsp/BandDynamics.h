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
// band by band: the scalar twin compressBand is that band-by-band form.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

#include "dsp/ForceInline.h"
#include "dsp/Lanes.h"
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
        FloatLanes gainLeft;
        FloatLanes gainRight;
        DoubleLanes envelopeLeftLow;
        DoubleLanes envelopeLeftHigh;
        DoubleLanes envelopeRightLow;
        DoubleLanes envelopeRightHigh;
    };

    // The states of one band, for the scalar twin.
    struct BandState {
        double envelopeLeft;
        double envelopeRight;
        float gainLeft;
        float gainRight;
    };

    std::int32_t bandCount() const override { return kBandCount; }
    void configure(const float* frequencies, float sampleRate, float masterDrive,
                   const float* driveAdjust, float masterOut, const float* outAdjust, float release,
                   float separation, bool squareRootMode) override;
    void processBands(float* left, float* right) override;
    // Envelopes and gains back to their start; the coefficients stay.
    void resetStates();
    // The gain of a band whose envelope is at rest (1), as silence leaves it,
    // under the current law; kept with the coefficients.
    float restingGain() const { return restingGain_; }

    Lanes loadLanes() const;
    void storeLanes(const Lanes& lanes);
    // One sample on states held in lanes; the coefficients are read from the
    // object. Defined below so that the block renderer can inline it.
    void processBands(Lanes& lanes, float* left, float* right) const;

    // The scalar twin: one band of one sample on states held by the caller,
    // under the given law (squareRoot) rather than the configured one, so
    // that a caller with a fixed law branches on nothing.
    void compressBand(std::size_t band, bool squareRoot, BandState& state, float& left,
                      float& right) const;
    // processBands band by band through compressBand, on the object's states.
    void processBandsScalar(float* left, float* right);

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

    static constexpr std::uint32_t kInverseSqrtSeed = 0xBE6F0000u;
    static constexpr double kLargestEnvelope = std::numeric_limits<double>::max();

    // Each step in lanes and in scalar form, side by side.
    static FloatLanes inverseSqrtPair(DoubleLanes envelope);
    static float inverseSqrt(double envelope);
    static void keepWithinRange(DoubleLanes& envelopeLeft, DoubleLanes& envelopeRight);
    static void keepWithinRange(double& envelopeLeft, double& envelopeRight);
    template <class Double>
    static void updateEnvelopes(Double smoothing, Double same, Double cross, Double powerLeft,
                                Double powerRight, Double& envelopeLeft, Double& envelopeRight);
    static void plainGains(DoubleLanes envelopeLeft, DoubleLanes envelopeRight,
                           FloatLanes& gainLeft, FloatLanes& gainRight);
    static void plainGains(double envelopeLeft, double envelopeRight, float& gainLeft,
                           float& gainRight);
    static float gainAtRest(bool squareRootMode);

    bool squareRootMode_ = false;
    float restingGain_ = gainAtRest(false);
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

// 1 / sqrt(envelope): a first guess from the bit pattern of the envelope's
// float value (envelopes are at least 1, so the pattern lies below the seed),
// then three Newton steps y * (1.5 - envelope / 2 * y^2) in double, each
// rounded to float. envelope / 2 is exact, so multiplying by one half gives
// the same value.
DSP_FORCE_INLINE float BandDynamics::inverseSqrt(double envelope) {
    std::uint32_t bits = 0;
    const float single = static_cast<float>(envelope);
    std::memcpy(&bits, &single, sizeof bits);
    bits = (kInverseSqrtSeed - bits) >> 1;
    float y = 0.0f;
    std::memcpy(&y, &bits, sizeof y);
    const double half = envelope * 0.5;
#pragma GCC unroll 3
    for (int step = 0; step < 3; ++step) {
        const double wide = static_cast<double>(y);
        y = static_cast<float>(wide * (1.5 - half * (wide * wide)));
    }
    return y;
}

// inverseSqrt for one pair of double lanes, in the two low float lanes. The
// pair stays apart from the other until the end, so that no shuffle
// lengthens the chain from one sample to the next.
DSP_FORCE_INLINE FloatLanes BandDynamics::inverseSqrtPair(DoubleLanes envelope) {
    FloatLanes y = floatsOf((kInverseSqrtSeed - bitsOf(narrow(envelope))) >> 1);
    const DoubleLanes half = envelope * 0.5;
#pragma GCC unroll 3
    for (int step = 0; step < 3; ++step) {
        const DoubleLanes wide = widenLow(y);
        y = narrow(wide * (1.5 - half * (wide * wide)));
    }
    return y;
}

// Finite envelopes of at least 1 are what the gain laws need. Band values far
// beyond any audio level can break that: a power that overflows, or with a
// release of 0 a huge envelope whose update cancels to 0. Such a band starts
// afresh at envelope 1 on both channels (and so at gain 1) instead of putting
// out NaN for the rest of the session. NaN fails every comparison.
DSP_FORCE_INLINE void BandDynamics::keepWithinRange(double& envelopeLeft, double& envelopeRight) {
    if (!(envelopeLeft >= 1.0 && envelopeLeft <= kLargestEnvelope && envelopeRight >= 1.0 &&
          envelopeRight <= kLargestEnvelope)) {
        envelopeLeft = 1.0;
        envelopeRight = 1.0;
    }
}

DSP_FORCE_INLINE void BandDynamics::keepWithinRange(DoubleLanes& envelopeLeft,
                                                    DoubleLanes& envelopeRight) {
    const DoubleLanes one = _mm_set1_pd(1.0);
    const DoubleMask valid = (envelopeLeft >= 1.0) & (envelopeLeft <= kLargestEnvelope) &
                             (envelopeRight >= 1.0) & (envelopeRight <= kLargestEnvelope);
    envelopeLeft = select(valid, envelopeLeft, one);
    envelopeRight = select(valid, envelopeRight, one);
}

// envelope + g * (same * own power + cross * other power + 1 - envelope): the
// target is 1 plus the weighted power, so an envelope never falls below 1.
// The same formula for a double and for a pair of double lanes.
template <class Double>
DSP_FORCE_INLINE void BandDynamics::updateEnvelopes(Double smoothing, Double same, Double cross,
                                                    Double powerLeft, Double powerRight,
                                                    Double& envelopeLeft, Double& envelopeRight) {
    envelopeLeft =
        envelopeLeft + smoothing * (same * powerLeft + cross * powerRight + 1.0 - envelopeLeft);
    envelopeRight =
        envelopeRight + smoothing * (same * powerRight + cross * powerLeft + 1.0 - envelopeRight);
    keepWithinRange(envelopeLeft, envelopeRight);
}

// One division serves both channels of a band; the left gain goes through the
// reciprocal rounded to float.
DSP_FORCE_INLINE void BandDynamics::plainGains(double envelopeLeft, double envelopeRight,
                                               float& gainLeft, float& gainRight) {
    const double reciprocal = 1.0 / (envelopeLeft * envelopeRight);
    gainRight = static_cast<float>(envelopeLeft * reciprocal);
    gainLeft =
        static_cast<float>(static_cast<double>(static_cast<float>(reciprocal)) * envelopeRight);
}

// plainGains for a pair of bands; writes the two low float lanes of each gain.
DSP_FORCE_INLINE void BandDynamics::plainGains(DoubleLanes envelopeLeft, DoubleLanes envelopeRight,
                                               FloatLanes& gainLeft, FloatLanes& gainRight) {
    const DoubleLanes reciprocal = 1.0 / (envelopeLeft * envelopeRight);
    gainRight = narrow(envelopeLeft * reciprocal);
    gainLeft = narrow(widenLow(narrow(reciprocal)) * envelopeRight);
}

DSP_FORCE_INLINE void BandDynamics::compressBand(std::size_t band, bool squareRoot,
                                                 BandState& state, float& left,
                                                 float& right) const {
    const float drivenLeft = inputGain_[band] * left;
    const float drivenRight = inputGain_[band] * right;

    // The detector sees the previous sample's gain: a one-sample feedback loop.
    const float detectedLeft = state.gainLeft * drivenLeft;
    const float detectedRight = state.gainRight * drivenRight;
    const auto powerLeft = static_cast<double>(detectedLeft * detectedLeft);
    const auto powerRight = static_cast<double>(detectedRight * detectedRight);
    updateEnvelopes(smoothing_[band], sameWeight_, crossWeight_, powerLeft, powerRight,
                    state.envelopeLeft, state.envelopeRight);

    if (squareRoot) {
        state.gainLeft = inverseSqrt(state.envelopeLeft);
        state.gainRight = inverseSqrt(state.envelopeRight);
    } else {
        plainGains(state.envelopeLeft, state.envelopeRight, state.gainLeft, state.gainRight);
    }

    left = outputGain_[band] * drivenLeft * state.gainLeft;
    right = outputGain_[band] * drivenRight * state.gainRight;
}

DSP_FORCE_INLINE void BandDynamics::processBands(Lanes& lanes, float* left, float* right) const {
    const FloatLanes inputGain = _mm_loadu_ps(inputGain_.data());
    const FloatLanes drivenLeft = inputGain * _mm_loadu_ps(left);
    const FloatLanes drivenRight = inputGain * _mm_loadu_ps(right);

    // The detector sees the previous sample's gain: a one-sample feedback loop.
    const FloatLanes detectedLeft = lanes.gainLeft * drivenLeft;
    const FloatLanes detectedRight = lanes.gainRight * drivenRight;
    const FloatLanes powerLeft = detectedLeft * detectedLeft;
    const FloatLanes powerRight = detectedRight * detectedRight;

    const DoubleLanes same = _mm_set1_pd(sameWeight_);
    const DoubleLanes cross = _mm_set1_pd(crossWeight_);
    updateEnvelopes(_mm_loadu_pd(&smoothing_[0]), same, cross, widenLow(powerLeft),
                    widenLow(powerRight), lanes.envelopeLeftLow, lanes.envelopeRightLow);
    updateEnvelopes(_mm_loadu_pd(&smoothing_[2]), same, cross, widenHigh(powerLeft),
                    widenHigh(powerRight), lanes.envelopeLeftHigh, lanes.envelopeRightHigh);

    if (squareRootMode_) {
        lanes.gainLeft = joinLowPairs(inverseSqrtPair(lanes.envelopeLeftLow),
                                      inverseSqrtPair(lanes.envelopeLeftHigh));
        lanes.gainRight = joinLowPairs(inverseSqrtPair(lanes.envelopeRightLow),
                                       inverseSqrtPair(lanes.envelopeRightHigh));
    } else {
        FloatLanes leftLow;
        FloatLanes leftHigh;
        FloatLanes rightLow;
        FloatLanes rightHigh;
        plainGains(lanes.envelopeLeftLow, lanes.envelopeRightLow, leftLow, rightLow);
        plainGains(lanes.envelopeLeftHigh, lanes.envelopeRightHigh, leftHigh, rightHigh);
        lanes.gainLeft = joinLowPairs(leftLow, leftHigh);
        lanes.gainRight = joinLowPairs(rightLow, rightHigh);
    }

    const FloatLanes outputGain = _mm_loadu_ps(outputGain_.data());
    _mm_storeu_ps(left, outputGain * drivenLeft * lanes.gainLeft);
    _mm_storeu_ps(right, outputGain * drivenRight * lanes.gainRight);
}

}  // namespace dsp
