// The anti-denormal noise at work: every bank with the band dynamics, driven
// as the effect's driver drives them, through a loud burst and then 30 s of
// digital silence. No filter output, band value, envelope, gain or output
// sample may become subnormal, which would make processing many times slower.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>

#include "dsp/AntiDenormalNoise.h"
#include "dsp/BandDynamics.h"
#include "dsp/FilterBankList.h"

namespace dsp {
namespace {

constexpr float kRate = 44100.0f;
constexpr int kBurstFrames = 22050;
constexpr int kSilentFrames = 30 * 44100;

bool subnormal(double x) {
    return std::fpclassify(x) == FP_SUBNORMAL;
}

bool subnormal(float x) {
    return std::fpclassify(x) == FP_SUBNORMAL;
}

std::size_t subnormalCount(float a, float b) {
    return (subnormal(a) ? 1u : 0u) + (subnormal(b) ? 1u : 0u);
}

struct Chain {
    std::unique_ptr<BandSplitter> bank;
    BandDynamics dynamics;
    AntiDenormalNoise noise;
    std::array<float, 64> left{};
    std::array<float, 64> right{};
    std::size_t subnormalBankOutputs = 0;
    std::size_t subnormalBandValues = 0;
    std::size_t subnormalOutputs = 0;

    // One frame as the driver runs it: noise on both inputs, split, dynamics,
    // sum of the bands.
    void frame(float inLeft, float inRight) {
        const float tiny = noise.next();
        bank->processStereo(inLeft + tiny, inRight + tiny, left.data(), right.data());
        for (std::size_t band = 0; band < 4; ++band) {
            subnormalBankOutputs += subnormalCount(left[band], right[band]);
        }
        dynamics.processBands(left.data(), right.data());
        float sumLeft = 0.0f;
        float sumRight = 0.0f;
        for (std::size_t band = 0; band < 4; ++band) {
            subnormalBandValues += subnormalCount(left[band], right[band]);
            sumLeft += left[band];
            sumRight += right[band];
        }
        subnormalOutputs += subnormalCount(sumLeft, sumRight);
    }
};

TEST(Denormals, NoneAfterLoudBurstAndLongSilence) {
    const std::array<float, 3> frequencies{200.0f, 700.0f, 2000.0f};
    const std::array<float, 4> ones{1.0f, 1.0f, 1.0f, 1.0f};
    for (std::size_t entry = 0; entry < kFilterBankList.size(); ++entry) {
        SCOPED_TRACE(kFilterBankList[entry].identifier);
        Chain chain;
        chain.bank.reset(kFilterBankList[entry].create());
        chain.bank->setFrequencies(frequencies.data(), kRate);
        // Both gain laws, alternating over the banks; full drive for a deep
        // excursion of the envelopes.
        chain.dynamics.configure(frequencies.data(), kRate, 100.0f, ones.data(), 0.3f, ones.data(),
                                 0.1f, 0.5f, entry % 2 == 1);

        for (int n = 0; n < kBurstFrames; ++n) {
            const float t = static_cast<float>(n) / kRate;
            const float low = 0.9f * std::sin(6.2831853f * 55.0f * t);
            const float high = 0.5f * std::sin(6.2831853f * 3100.0f * t);
            chain.frame(low + high, low - high);
        }
        chain.subnormalBankOutputs = 0;
        chain.subnormalBandValues = 0;
        chain.subnormalOutputs = 0;
        for (int n = 0; n < kSilentFrames; ++n) chain.frame(0.0f, 0.0f);

        EXPECT_EQ(chain.subnormalBankOutputs, 0u);
        EXPECT_EQ(chain.subnormalBandValues, 0u);
        EXPECT_EQ(chain.subnormalOutputs, 0u);
        for (std::int32_t band = 0; band < 4; ++band) {
            const BandDynamics::BandReadout readout = chain.dynamics.band(band);
            EXPECT_FALSE(subnormal(readout.envelopeLeft) || subnormal(readout.envelopeRight) ||
                         subnormal(readout.gainLeft) || subnormal(readout.gainRight))
                << band;
        }
        // The filters still carry the noise: the output is tiny but not zero.
        EXPECT_NE(chain.left[0] + chain.left[3], 0.0f);
    }
}

}  // namespace
}  // namespace dsp
