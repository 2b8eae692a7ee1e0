#include "dsp/BandDynamics.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace dsp {
namespace {

// The drive gain is divided by bandWeight and the output gain multiplied by
// its square root, so the small-signal gain of a band is 2 * sqrt(drive).
constexpr float kBandWeight = 0.25f;
constexpr float kLowestBandEdge = 20.0f;   // Hz, lower edge of band 0
constexpr double kSmoothingTarget = 0.05;  // residue left after the smoothing time
constexpr double kSmoothingTimeScale = 20.0;
constexpr std::uint32_t kInverseSqrtSeed = 0xBE6F0000u;
constexpr double kLargestEnvelope = std::numeric_limits<double>::max();

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

// First guess of 1 / sqrt(envelope) from the bit pattern of its float value.
// Envelopes are at least 1, so the pattern lies below the seed.
float inverseSqrtGuess(double envelope) {
    const float value = static_cast<float>(envelope);
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    const std::uint32_t guessBits = (kInverseSqrtSeed - bits) >> 1;
    float guess = 0.0f;
    std::memcpy(&guess, &guessBits, sizeof guess);
    return guess;
}

float newtonStep(float guess, double envelope) {
    const double y = static_cast<double>(guess);
    return static_cast<float>(y * (1.5 - (envelope / 2.0) * (y * y)));
}

}  // namespace

void BandDynamics::configure(const float* frequencies, float sampleRate, float masterDrive,
                             const float* driveAdjust, float masterOut, const float* outAdjust,
                             float release, float separation, bool squareRootMode) {
    sameWeight_ = 0.5f + 0.5f * separation;
    crossWeight_ = 0.5f - 0.5f * separation;
    squareRootMode_ = squareRootMode;
    for (std::size_t i = 0; i < kBandCount; ++i) {
        // Only a band's lower edge sets its time constant; edges are taken in
        // the order received.
        const float lowerEdge = i == 0 ? kLowestBandEdge : frequencies[i - 1];
        smoothing_[i] = smoothingCoefficient(lowerEdge, release, sampleRate);
        inputGain_[i] = driveAdjust[i] / kBandWeight * masterDrive;
        const double drive = static_cast<double>(masterDrive) * static_cast<double>(driveAdjust[i]);
        outputGain_[i] = static_cast<float>(static_cast<double>(outAdjust[i]) / std::sqrt(drive) *
                                            std::sqrt(static_cast<double>(kBandWeight)) *
                                            static_cast<double>(masterOut));
    }
}

void BandDynamics::processBands(float* left, float* right) {
    const double same = static_cast<double>(sameWeight_);
    const double cross = static_cast<double>(crossWeight_);
    for (std::size_t i = 0; i < kBandCount; ++i) {
        const float drivenLeft = inputGain_[i] * left[i];
        const float drivenRight = inputGain_[i] * right[i];

        // The detector sees the previous sample's gain: a one-sample feedback loop.
        const float detectedLeft = gainLeft_[i] * drivenLeft;
        const float detectedRight = gainRight_[i] * drivenRight;
        const float powerLeft = detectedLeft * detectedLeft;
        const float powerRight = detectedRight * detectedRight;

        // The target is 1 plus the weighted power, so an envelope never falls below 1.
        const double g = static_cast<double>(smoothing_[i]);
        double envelopeLeft = envelopeLeft_[i];
        double envelopeRight = envelopeRight_[i];
        envelopeLeft =
            envelopeLeft + g * (same * static_cast<double>(powerLeft) +
                                cross * static_cast<double>(powerRight) + 1.0 - envelopeLeft);
        envelopeRight =
            envelopeRight + g * (same * static_cast<double>(powerRight) +
                                 cross * static_cast<double>(powerLeft) + 1.0 - envelopeRight);
        // Finite envelopes of at least 1 are what the gain laws need. Band
        // values far beyond any audio level can break that: a power that
        // overflows, or with a release of 0 a huge envelope whose update
        // cancels to 0. The band then starts afresh at envelope and gain 1
        // instead of putting out NaN for the rest of the session.
        if (!(envelopeLeft >= 1.0 && envelopeLeft <= kLargestEnvelope && envelopeRight >= 1.0 &&
              envelopeRight <= kLargestEnvelope)) {
            envelopeLeft = 1.0;
            envelopeRight = 1.0;
        }
        envelopeLeft_[i] = envelopeLeft;
        envelopeRight_[i] = envelopeRight;

        const float scaledLeft = outputGain_[i] * drivenLeft;
        const float scaledRight = outputGain_[i] * drivenRight;

        if (squareRootMode_) {
            updateGainsSquareRoot(i, envelopeLeft, envelopeRight);
        } else {
            updateGainsPlain(i, envelopeLeft, envelopeRight);
        }

        left[i] = scaledLeft * gainLeft_[i];
        right[i] = scaledRight * gainRight_[i];
    }
}

void BandDynamics::updateGainsPlain(std::size_t band, double envelopeLeft, double envelopeRight) {
    // One division serves both channels.
    const double reciprocal = 1.0 / (envelopeLeft * envelopeRight);
    gainRight_[band] = static_cast<float>(envelopeLeft * reciprocal);
    gainLeft_[band] =
        static_cast<float>(static_cast<double>(static_cast<float>(reciprocal)) * envelopeRight);
}

void BandDynamics::updateGainsSquareRoot(std::size_t band, double envelopeLeft,
                                         double envelopeRight) {
    float left = inverseSqrtGuess(envelopeLeft);
    float right = inverseSqrtGuess(envelopeRight);
    for (int step = 0; step < 3; ++step) {
        left = newtonStep(left, envelopeLeft);
        right = newtonStep(right, envelopeRight);
    }
    gainLeft_[band] = left;
    gainRight_[band] = right;
}

BandDynamics::BandReadout BandDynamics::band(std::int32_t index) const {
    const auto i = static_cast<std::size_t>(index);
    return {inputGain_.at(i),     outputGain_.at(i), smoothing_.at(i), envelopeLeft_.at(i),
            envelopeRight_.at(i), gainLeft_.at(i),   gainRight_.at(i)};
}

}  // namespace dsp
