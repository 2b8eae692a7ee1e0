#include "dsp/BandDynamics.h"

#include <cmath>

namespace dsp {
namespace {

// The drive gain is divided by bandWeight and the output gain multiplied by
// its square root, so the small-signal gain of a band is 2 * sqrt(drive).
constexpr float kBandWeight = 0.25f;
constexpr float kLowestBandEdge = 20.0f;   // Hz, lower edge of band 0
constexpr double kSmoothingTarget = 0.05;  // residue left after the smoothing time
constexpr double kSmoothingTimeScale = 20.0;

// Share g of the new value per sample, such that the envelope closes 95 % of
// a gap in release * 20 Hz / lowerEdge seconds.
float smoothingCoefficient(float lowerEdge, float release, float sampleRate) {
    const float edgePeriod = 1.0f / lowerEdge;
    const double samples = static_cast<double>(edgePeriod) * static_cast<double>(release) *
                           kSmoothingTimeScale * static_cast<double>(sampleRate);
    // A release of 0 makes the exponent 1 / samples infinite and the residue
    // 0: the envelope follows the power at once. Answered without dividing by
    // zero so no floating-point trap can fire; a negative time counts as 0.
    if (!(samples > 0.0)) return 1.0f;
    return static_cast<float>(1.0 - std::pow(kSmoothingTarget, 1.0 / samples));
}

}  // namespace

void BandDynamics::configure(const float* frequencies, float sampleRate, float masterDrive,
                             const float* driveAdjust, float masterOut, const float* outAdjust,
                             float release, float separation, bool squareRootMode) {
    sameWeight_ = static_cast<double>(0.5f + 0.5f * separation);
    crossWeight_ = static_cast<double>(0.5f - 0.5f * separation);
    squareRootMode_ = squareRootMode;
    restingGain_ = gainAtRest(squareRootMode);
    for (std::size_t i = 0; i < kBandCount; ++i) {
        // Only a band's lower edge sets its time constant; edges are taken in
        // the order received.
        const float lowerEdge = i == 0 ? kLowestBandEdge : frequencies[i - 1];
        smoothing_[i] = static_cast<double>(smoothingCoefficient(lowerEdge, release, sampleRate));
        inputGain_[i] = driveAdjust[i] / kBandWeight * masterDrive;
        const double drive = static_cast<double>(masterDrive) * static_cast<double>(driveAdjust[i]);
        outputGain_[i] = static_cast<float>(static_cast<double>(outAdjust[i]) / std::sqrt(drive) *
                                            std::sqrt(static_cast<double>(kBandWeight)) *
                                            static_cast<double>(masterOut));
    }
}

void BandDynamics::resetStates() {
    envelopeLeft_.fill(1.0);
    envelopeRight_.fill(1.0);
    gainLeft_.fill(1.0f);
    gainRight_.fill(1.0f);
}

float BandDynamics::gainAtRest(bool squareRootMode) {
    if (squareRootMode) return inverseSqrt(1.0);
    float left = 0.0f;
    float right = 0.0f;
    plainGains(1.0, 1.0, left, right);
    return left;
}

void BandDynamics::processBandsScalar(float* left, float* right) {
    for (std::size_t i = 0; i < kBandCount; ++i) {
        BandState state{envelopeLeft_[i], envelopeRight_[i], gainLeft_[i], gainRight_[i]};
        compressBand(i, squareRootMode_, state, left[i], right[i]);
        envelopeLeft_[i] = state.envelopeLeft;
        envelopeRight_[i] = state.envelopeRight;
        gainLeft_[i] = state.gainLeft;
        gainRight_[i] = state.gainRight;
    }
}

BandDynamics::BandReadout BandDynamics::band(std::int32_t index) const {
    const auto i = static_cast<std::size_t>(index);
    return {inputGain_.at(i),    outputGain_.at(i),    static_cast<float>(smoothing_.at(i)),
            envelopeLeft_.at(i), envelopeRight_.at(i), gainLeft_.at(i),
            gainRight_.at(i)};
}

}  // namespace dsp
