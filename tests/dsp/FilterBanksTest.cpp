#include "dsp/FilterBanks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <random>
#include <string>

#include "SplitterTestSupport.h"
#include "dsp/FilterBankList.h"

namespace dsp {
namespace {

using Bands = std::array<float, 4>;
using FrequencySet = std::array<float, 3>;

constexpr float kRate = 44100.0f;

std::unique_ptr<BandSplitter> createBank(std::size_t index) {
    return std::unique_ptr<BandSplitter>(kFilterBankList.at(index).create());
}

std::unique_ptr<BandSplitter> createBank(std::size_t index, const FrequencySet& frequencies,
                                         float sampleRate = kRate) {
    auto bank = createBank(index);
    bank->setFrequencies(frequencies.data(), sampleRate);
    return bank;
}

TEST(FilterBankList, HoldsTheTwelveBanksInChoiceOrder) {
    struct Expected {
        const char* identifier;
        const char* displayName;
        const char* name;
    };
    const Expected expected[] = {
        {"Tessel6A", "Tessel6A", "4-band tesselA 6dB/oct"},
        {"Tessel6B", "Tessel6B", "4-band tesselB 6dB/oct"},
        {"Lowpass6A peel-up", "LP6A up", "4-band Lowpass6A peel-up"},
        {"Lowpass6A peel-down", "LP6A dn", "4-band Lowpass6A peel-down"},
        {"Lowpass6B peel-up", "LP6B up", "4-band Lowpass6B peel-up"},
        {"Lowpass6B peel-down", "LP6B dn", "4-band Lowpass6B peel-down"},
        {"Allpass6B peel-up", "AP6B up", "4-band Allpass6 peel-up"},
        {"Allpass6B peel-down", "AP6B dn", "4-band Allpass6 peel-down"},
        {"Lowpass12 peel-up", "LP12 up", "4-band Lowpass12 peel-up"},
        {"Lowpass12 peel-down", "LP12 dn", "4-band Lowpass12 peel-down"},
        {"Lowpass18 peel-up", "LP18 up", "4-band Lowpass18 peel-up"},
        {"Lowpass18 peel-down", "LP18 dn", "4-band Lowpass18 peel-down"},
    };
    ASSERT_EQ(std::size(expected), kFilterBankList.size());
    for (std::size_t i = 0; i < kFilterBankList.size(); ++i) {
        EXPECT_STREQ(kFilterBankList[i].identifier, expected[i].identifier);
        EXPECT_STREQ(kFilterBankList[i].displayName, expected[i].displayName);
        const auto bank = createBank(i);
        EXPECT_EQ(bank->name(), expected[i].name);
        EXPECT_EQ(bank->bandCount(), 4);
    }
}

// Random stereo signals; the frequencies change every 256 samples through
// ordered, reversed, equal, zero and above-Nyquist sets at several rates.
TEST(FilterBanks, BandsAddUpToTheInput) {
    const FrequencySet frequencySets[] = {
        {200.0f, 700.0f, 2000.0f},   {2000.0f, 700.0f, 200.0f},   {500.0f, 500.0f, 500.0f},
        {0.0f, 1000.0f, 5000.0f},    {20.0f, 20000.0f, 21000.0f}, {30000.0f, 60000.0f, 100.0f},
        {-100.0f, 3000.0f, 3000.0f},
    };
    const float sampleRates[] = {44100.0f, 32000.0f, 96000.0f};
    const auto left = test::noise(256 * 7 * 3, 11);
    const auto right = test::noise(left.size(), 12, 30.0f);
    for (std::size_t index = 0; index < kFilterBankList.size(); ++index) {
        const auto bank = createBank(index);
        Bands bandsLeft{};
        Bands bandsRight{};
        for (std::size_t n = 0; n < left.size(); ++n) {
            if (n % 256 == 0) {
                const std::size_t set = n / 256;
                bank->setFrequencies(frequencySets[set % 7].data(), sampleRates[set / 7]);
            }
            bank->processStereo(left[n], right[n], bandsLeft.data(), bandsRight.data());
            ASSERT_LE(test::reconstructionError(left[n], bandsLeft.data(), 4), 1.0)
                << bank->name() << " sample " << n;
            ASSERT_LE(test::reconstructionError(right[n], bandsRight.data(), 4), 1.0)
                << bank->name() << " sample " << n;
        }
    }
}

TEST(FilterBanks, StereoChannelsMatchTwoMonoBanks) {
    const FrequencySet frequencies{150.0f, 900.0f, 4000.0f};
    const auto left = test::noise(500, 13);
    const auto right = test::noise(500, 14);
    for (std::size_t index = 0; index < kFilterBankList.size(); ++index) {
        const auto stereo = createBank(index, frequencies);
        const auto monoLeft = createBank(index, frequencies);
        const auto monoRight = createBank(index, frequencies);
        for (std::size_t n = 0; n < left.size(); ++n) {
            Bands bandsLeft{};
            Bands bandsRight{};
            Bands expectedLeft{};
            Bands expectedRight{};
            stereo->processStereo(left[n], right[n], bandsLeft.data(), bandsRight.data());
            monoLeft->process(left[n], expectedLeft.data());
            monoRight->process(right[n], expectedRight.data());
            ASSERT_EQ(bandsLeft, expectedLeft) << stereo->name();
            ASSERT_EQ(bandsRight, expectedRight) << stereo->name();
        }
    }
}

// The parallel allpass bank's split in lanes against its scalar twin, bit for
// bit, over random crossovers, memories and signals of every level.
TEST(FilterBanks, TesselBankALanesEqualTheScalarTwin) {
    struct Case {
        const char* name;
        float level;
        double highestRatio;  // of crossover frequency to sample rate
    };
    const Case cases[] = {
        {"audio", 1.0f, 0.5},
        {"loud", 1e9f, 0.5},
        {"faint", 1e-30f, 0.5},
        {"crossovers above half the rate", 1.0f, 2.0},
    };
    std::mt19937 random(29);
    std::uint32_t seed = 100;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::uniform_real_distribution<double> ratio(0.0, c.highestRatio);
        for (int setting = 0; setting < 40; ++setting) {
            TesselBankA::PerCrossover coefficients{};
            for (std::size_t i = 0; i < 3; ++i) {
                coefficients[i] = TesselBankA::coefficient(ratio(random));
            }
            TesselBankA::PerCrossover inLanes{};
            const auto start = test::noise(3, ++seed, c.level);
            std::copy(start.begin(), start.end(), inLanes.begin());
            TesselBankA::PerCrossover inScalar = inLanes;
            for (float x : test::noise(100, ++seed, c.level)) {
                Bands fromLanes{};
                Bands fromScalar{};
                TesselBankA::split(x, coefficients, inLanes, fromLanes.data());
                TesselBankA::splitScalar(x, coefficients, inScalar, fromScalar.data());
                for (std::size_t i = 0; i < 4; ++i) {
                    ASSERT_EQ(test::bitsOf(fromLanes[i]), test::bitsOf(fromScalar[i])) << i;
                }
                for (std::size_t i = 0; i < 3; ++i) {
                    ASSERT_EQ(test::bitsOf(inLanes[i]), test::bitsOf(inScalar[i])) << i;
                }
            }
        }
    }
}

TEST(FilterBanks, ResetClearsMemoriesAndKeepsCoefficients) {
    const FrequencySet frequencies{300.0f, 1200.0f, 6000.0f};
    const auto signal = test::noise(400, 15);
    for (std::size_t index = 0; index < kFilterBankList.size(); ++index) {
        const auto used = createBank(index, frequencies);
        const auto fresh = createBank(index, frequencies);
        Bands bands{};
        for (float x : signal) used->processStereo(x, x, bands.data(), bands.data());
        used->reset();
        for (float x : signal) {
            Bands expected{};
            used->process(x, bands.data());
            fresh->process(x, expected.data());
            ASSERT_EQ(bands, expected) << used->name();
        }
    }
}

// Settled on a constant 1, band 0 carries it all; it stays high across a
// frequency change, where cleared memories would restart it from near 0.
TEST(FilterBanks, FrequencyChangeKeepsMemories) {
    const FrequencySet before{2000.0f, 4000.0f, 8000.0f};
    const FrequencySet after{100.0f, 200.0f, 300.0f};
    for (std::size_t index = 0; index < kFilterBankList.size(); ++index) {
        const auto bank = createBank(index, before);
        Bands bands{};
        for (int n = 0; n < 5000; ++n) bank->process(1.0f, bands.data());
        bank->setFrequencies(after.data(), kRate);
        bank->process(1.0f, bands.data());
        EXPECT_GT(bands[0], 0.8f) << bank->name();
    }
}

struct SilentBandCase {
    std::size_t bank;
    FrequencySet frequencies;
    std::size_t silentBand;
};

// Equal neighbouring lowpasses in a parallel bank cancel exactly; a one-pole
// stage at 0 Hz holds its zero memory.
TEST(FilterBanks, BandsThatMustBeExactlySilent) {
    const SilentBandCase cases[] = {
        {0, {500.0f, 500.0f, 3000.0f}, 1}, {0, {200.0f, 2000.0f, 2000.0f}, 2},
        {1, {500.0f, 500.0f, 3000.0f}, 1}, {1, {200.0f, 2000.0f, 2000.0f}, 2},
        {1, {0.0f, 700.0f, 2000.0f}, 0},   {2, {0.0f, 700.0f, 2000.0f}, 0},
        {3, {0.0f, 700.0f, 2000.0f}, 0},   {4, {0.0f, 700.0f, 2000.0f}, 0},
        {5, {0.0f, 700.0f, 2000.0f}, 0},   {8, {0.0f, 700.0f, 2000.0f}, 0},
        {11, {0.0f, 700.0f, 2000.0f}, 0},
    };
    const auto signal = test::noise(1000, 16);
    for (const SilentBandCase& c : cases) {
        const auto bank = createBank(c.bank, c.frequencies);
        bank->reset();
        for (float x : signal) {
            Bands bands{};
            bank->process(x, bands.data());
            ASSERT_EQ(bands[c.silentBand], 0.0f) << bank->name() << " band " << c.silentBand;
        }
    }
}

// With crossover 0 above crossover 1, band 1 of the parallel one-pole bank is
// L1 - L0: the negative of the band-pass between the two frequencies.
TEST(FilterBanks, TesselBankBOutOfOrderNegatesTheMiddleBand) {
    const auto ordered = createBank(1, {200.0f, 2000.0f, 5000.0f});
    const auto swapped = createBank(1, {2000.0f, 200.0f, 5000.0f});
    for (float x : test::noise(500, 17)) {
        Bands a{};
        Bands b{};
        ordered->process(x, a.data());
        swapped->process(x, b.data());
        ASSERT_EQ(b[1], -a[1]);
        ASSERT_EQ(b[3], a[3]);
    }
}

// The peel banks against chains of separately driven sections, with the
// frequencies out of order: section i takes crossover i in both topologies,
// low bands are peeled upwards in one and high bands downwards in the other.
TEST(FilterBanks, PeelBanksChainTheirSections) {
    const FrequencySet frequencies{3000.0f, 300.0f, 1000.0f};
    const auto signal = test::noise(500, 18);
    for (std::size_t type = 0; type < test::sectionTypes().size(); ++type) {
        const auto up = createBank(2 + 2 * type, frequencies);
        const auto down = createBank(3 + 2 * type, frequencies);
        std::array<std::unique_ptr<BandSplitter>, 3> upChain;
        std::array<std::unique_ptr<BandSplitter>, 3> downChain;
        for (std::size_t i = 0; i < 3; ++i) {
            upChain[i] = test::sectionTypes()[type].create();
            downChain[i] = test::sectionTypes()[type].create();
            upChain[i]->setFrequencies(&frequencies[i], kRate);
            downChain[i]->setFrequencies(&frequencies[i], kRate);
        }
        for (float x : signal) {
            Bands bands{};
            float split[2];
            Bands expected{};
            up->process(x, bands.data());
            float remainder = x;
            for (std::size_t i = 0; i < 3; ++i) {
                upChain[i]->process(remainder, split);
                expected[i] = split[0];
                remainder = split[1];
            }
            expected[3] = remainder;
            ASSERT_EQ(bands, expected) << up->name();

            down->process(x, bands.data());
            remainder = x;
            for (std::size_t i = 3; i-- > 0;) {
                downChain[i]->process(remainder, split);
                expected[i + 1] = split[1];
                remainder = split[0];
            }
            expected[0] = remainder;
            ASSERT_EQ(bands, expected) << down->name();
        }
    }
}

struct AliasCase {
    std::size_t bank;
    float actsLike;  // Hz at 32000 Hz, for a crossover set to 20000 Hz
};

// At 32 kHz, 20 kHz (ratio 0.625) folds to 12 kHz in the one-pole banks and
// is limited to 0.49 * 32 kHz in the others.
TEST(FilterBanks, CrossoversAboveHalfTheSampleRate) {
    constexpr float kRate32 = 32000.0f;
    const AliasCase cases[] = {
        {0, 15680.0f}, {1, 12000.0f}, {2, 12000.0f}, {3, 12000.0f}, {4, 12000.0f},  {5, 12000.0f},
        {6, 15680.0f}, {7, 15680.0f}, {8, 15680.0f}, {9, 15680.0f}, {10, 15680.0f}, {11, 15680.0f},
    };
    const auto signal = test::noise(2000, 20);
    for (const AliasCase& c : cases) {
        const auto high = createBank(c.bank, {200.0f, 1000.0f, 20000.0f}, kRate32);
        const auto reference = createBank(c.bank, {200.0f, 1000.0f, c.actsLike}, kRate32);
        for (float x : signal) {
            Bands a{};
            Bands b{};
            high->process(x, a.data());
            reference->process(x, b.data());
            for (std::size_t band = 0; band < 4; ++band) {
                ASSERT_NEAR(a[band], b[band], 1e-5f) << high->name() << " band " << band;
            }
        }
    }
}

}  // namespace
}  // namespace dsp
