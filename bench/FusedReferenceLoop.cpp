#include "FusedReferenceLoop.h"

#include <cmath>
#include <limits>

#include "dsp/BandDynamics.h"
#include "dsp/CrossoverCoefficients.h"

namespace bench {
namespace {

// The effect's defaults: crossovers 200, 700 and 2000 Hz; every drive and
// output adjustment 1; master drive 1, master out 0.3; release 0.1 s;
// separation 0.5; compressor mode A.
constexpr std::array<float, 3> kCrossovers = {200.0f, 700.0f, 2000.0f};
constexpr float kSeparation = 0.5f;

float sane(float sample) {
    return std::fabs(sample) <= 1.0e12f ? sample : 0.0f;
}

}  // namespace

FusedReferenceLoop::FusedReferenceLoop(float sampleRate) {
    const double samplePeriod = 1.0 / static_cast<double>(sampleRate);
    for (std::size_t i = 0; i < allpass_.size(); ++i) {
        allpass_[i] = dsp::allpassCoefficient(samplePeriod * static_cast<double>(kCrossovers[i]));
    }
    // The band gains and time constants come from the effect's own formulas.
    dsp::BandDynamics dynamics;
    const std::array<float, kBands> ones = {1.0f, 1.0f, 1.0f, 1.0f};
    dynamics.configure(kCrossovers.data(), sampleRate, 1.0f, ones.data(), 0.3f, ones.data(), 0.1f,
                       kSeparation, false);
    for (std::size_t i = 0; i < kBands; ++i) {
        const dsp::BandDynamics::BandReadout band = dynamics.band(static_cast<std::int32_t>(i));
        inputGain_[i] = band.inputGain;
        outputGain_[i] = band.outputGain;
        smoothing_[i] = static_cast<double>(band.smoothing);
    }
    same_ = static_cast<double>(0.5f + 0.5f * kSeparation);
    cross_ = static_cast<double>(0.5f - 0.5f * kSeparation);
}

// The loops over crossovers and bands are unrolled by request, so that every
// state can stay in a register for the whole block.
void FusedReferenceLoop::process(const float* inLeft, const float* inRight, float* outLeft,
                                 float* outRight, std::int32_t frames) {
    constexpr double kLargest = std::numeric_limits<double>::max();
    std::int32_t noise = noise_;
    std::array<float, 3> apL = allpassLeft_;
    std::array<float, 3> apR = allpassRight_;
    std::array<double, kBands> eL = envelopeLeft_;
    std::array<double, kBands> eR = envelopeRight_;
    std::array<float, kBands> gL = gainLeft_;
    std::array<float, kBands> gR = gainRight_;

    for (std::int32_t n = 0; n < frames; ++n) {
        const float tiny =
            static_cast<float>(static_cast<std::int64_t>(noise) * 0x901D7D) * 0x1p-104f;
        noise =
            static_cast<std::int32_t>(static_cast<std::uint32_t>(noise) * 1664525u + 1013904223u);
        const float halfL = (sane(inLeft[n]) + tiny) * 0.5f;
        const float halfR = (sane(inRight[n]) + tiny) * 0.5f;

        std::array<float, 3> aL{};
        std::array<float, 3> aR{};
#pragma GCC unroll 3
        for (std::size_t i = 0; i < 3; ++i) {
            aL[i] = apL[i] - allpass_[i] * halfL;
            apL[i] = halfL + allpass_[i] * aL[i];
            aR[i] = apR[i] - allpass_[i] * halfR;
            apR[i] = halfR + allpass_[i] * aR[i];
        }
        const std::array<float, kBands> bandL = {halfL + aL[0], aL[1] - aL[0], aL[2] - aL[1],
                                                 halfL - aL[2]};
        const std::array<float, kBands> bandR = {halfR + aR[0], aR[1] - aR[0], aR[2] - aR[1],
                                                 halfR - aR[2]};

        float sumL = 0.0f;
        float sumR = 0.0f;
#pragma GCC unroll 4
        for (std::size_t b = 0; b < kBands; ++b) {
            const float drivenL = inputGain_[b] * bandL[b];
            const float drivenR = inputGain_[b] * bandR[b];
            const float detectedL = gL[b] * drivenL;
            const float detectedR = gR[b] * drivenR;
            const double powerL = static_cast<double>(detectedL * detectedL);
            const double powerR = static_cast<double>(detectedR * detectedR);
            double left = eL[b] + smoothing_[b] * (same_ * powerL + cross_ * powerR + 1.0 - eL[b]);
            double right = eR[b] + smoothing_[b] * (same_ * powerR + cross_ * powerL + 1.0 - eR[b]);
            if (!(left >= 1.0 && left <= kLargest && right >= 1.0 && right <= kLargest)) {
                left = 1.0;
                right = 1.0;
            }
            eL[b] = left;
            eR[b] = right;
            const double reciprocal = 1.0 / (left * right);
            gR[b] = static_cast<float>(left * reciprocal);
            gL[b] = static_cast<float>(static_cast<double>(static_cast<float>(reciprocal)) * right);
            sumL += outputGain_[b] * drivenL * gL[b];
            sumR += outputGain_[b] * drivenR * gR[b];
        }
        outLeft[n] = sumL;
        outRight[n] = sumR;
    }

    noise_ = noise;
    allpassLeft_ = apL;
    allpassRight_ = apR;
    envelopeLeft_ = eL;
    envelopeRight_ = eR;
    gainLeft_ = gL;
    gainRight_ = gR;
}

}  // namespace bench
