#include "FusedReferenceLoop.h"

#include "dsp/BlockRenderer.h"

namespace bench {
namespace {

// The effect's defaults: crossovers 200, 700 and 2000 Hz; every drive and
// output adjustment 1; master drive 1, master out 0.3; release 0.1 s;
// separation 0.5; compressor mode A.
constexpr std::array<float, 3> kCrossovers = {200.0f, 700.0f, 2000.0f};

}  // namespace

FusedReferenceLoop::FusedReferenceLoop(float sampleRate) {
    const double samplePeriod = 1.0 / static_cast<double>(sampleRate);
    for (std::size_t i = 0; i < kCrossovers.size(); ++i) {
        allpass_[i] =
            dsp::TesselBankA::coefficient(samplePeriod * static_cast<double>(kCrossovers[i]));
    }
    const std::array<float, kBands> ones = {1.0f, 1.0f, 1.0f, 1.0f};
    dynamics_.configure(kCrossovers.data(), sampleRate, 1.0f, ones.data(), 0.3f, ones.data(), 0.1f,
                        0.5f, false);
    bands_.fill({1.0, 1.0, 1.0f, 1.0f});
}

// The loops over crossovers and bands are unrolled by request, so that every
// state can stay in a register for the whole block.
void FusedReferenceLoop::process(const float* inLeft, const float* inRight, float* outLeft,
                                 float* outRight, std::int32_t frames) {
    dsp::AntiDenormalNoise noise = noise_;
    dsp::TesselBankA::PerCrossover allpassLeft = allpassLeft_;
    dsp::TesselBankA::PerCrossover allpassRight = allpassRight_;
    BandStates bands = bands_;

    for (std::int32_t n = 0; n < frames; ++n) {
        const float tiny = noise.next();
        std::array<float, kBands> left{};
        std::array<float, kBands> right{};
        dsp::TesselBankA::splitScalar(dsp::saneInput(inLeft[n]) + tiny, allpass_, allpassLeft,
                                      left.data());
        dsp::TesselBankA::splitScalar(dsp::saneInput(inRight[n]) + tiny, allpass_, allpassRight,
                                      right.data());

        float sumLeft = 0.0f;
        float sumRight = 0.0f;
#pragma GCC unroll 4
        for (std::size_t b = 0; b < kBands; ++b) {
            dynamics_.compressBand(b, false, bands[b], left[b], right[b]);
            sumLeft += left[b];
            sumRight += right[b];
        }
        outLeft[n] = sumLeft;
        outRight[n] = sumRight;
    }

    noise_ = noise;
    allpassLeft_ = allpassLeft;
    allpassRight_ = allpassRight;
    bands_ = bands;
}

}  // namespace bench
