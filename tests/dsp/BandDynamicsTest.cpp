#include "dsp/BandDynamics.h"

#include <gtest/gtest.h>

#include <array>
#include <cfenv>
#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "SplitterTestSupport.h"

namespace dsp {
namespace {

using Bands = std::array<float, 4>;

struct Settings {
    std::array<float, 3> frequencies{200.0f, 700.0f, 2000.0f};
    float sampleRate = 44100.0f;
    float masterDrive = 1.0f;
    Bands driveAdjust{1.0f, 1.0f, 1.0f, 1.0f};
    float masterOut = 0.3f;
    Bands outAdjust{1.0f, 1.0f, 1.0f, 1.0f};
    float release = 0.1f;
    float separation = 0.5f;
    bool squareRootMode = false;
};

void configure(BandDynamics& dynamics, const Settings& s) {
    dynamics.configure(s.frequencies.data(), s.sampleRate, s.masterDrive, s.driveAdjust.data(),
                       s.masterOut, s.outAdjust.data(), s.release, s.separation, s.squareRootMode);
}

// Runs a constant level on every band of both channels; returns the last output.
std::pair<Bands, Bands> runConstant(BandDynamics& dynamics, float left, float right, int samples) {
    Bands l{};
    Bands r{};
    for (int n = 0; n < samples; ++n) {
        l.fill(left);
        r.fill(right);
        dynamics.processBands(l.data(), r.data());
    }
    return {l, r};
}

// A log-uniform value between low and high.
float logUniform(std::mt19937& random, float low, float high) {
    std::uniform_real_distribution<float> exponent(std::log(low), std::log(high));
    return std::exp(exponent(random));
}

Settings randomSettings(std::mt19937& random) {
    const float rates[] = {22050.0f, 44100.0f, 48000.0f, 96000.0f, 192000.0f};
    Settings s;
    for (float& frequency : s.frequencies) frequency = logUniform(random, 20.0f, 20000.0f);
    s.sampleRate = rates[random() % 5];
    s.masterDrive = logUniform(random, 0.1f, 1000.0f);
    for (float& adjust : s.driveAdjust) adjust = logUniform(random, 0.1f, 10.0f);
    s.masterOut = logUniform(random, 0.01f, 4.0f);
    for (float& adjust : s.outAdjust) adjust = logUniform(random, 0.1f, 10.0f);
    s.release = random() % 4 == 0 ? 0.0f : logUniform(random, 1e-4f, 20.0f);
    s.separation = std::uniform_real_distribution<float>(0.0f, 1.0f)(random);
    s.squareRootMode = random() % 2 == 0;
    return s;
}

// The four bands in lanes against the scalar twin, band by band, bit for bit:
// random settings under both laws, signals of every level, and values that
// break a band and make it start afresh.
TEST(BandDynamics, LanesEqualTheScalarTwin) {
    struct Case {
        const char* name;
        float level;
        float breaking;  // every 97th value of band 2, left; 0 for none
    };
    const Case cases[] = {
        {"audio", 1.0f, 0.0f},
        {"loud", 1e6f, 0.0f},
        {"faint", 1e-20f, 0.0f},
        {"overflowing", 1.0f, 3e38f},
        {"not a number", 1.0f, std::numeric_limits<float>::quiet_NaN()},
    };
    std::mt19937 random(31);
    std::uint32_t seed = 200;
    for (const Case& c : cases) {
        for (int setting = 0; setting < 40; ++setting) {
            const Settings s = randomSettings(random);
            SCOPED_TRACE(std::string(c.name) + (s.squareRootMode ? " B" : " A") + " release " +
                         std::to_string(s.release));
            BandDynamics inLanes;
            BandDynamics inScalar;
            configure(inLanes, s);
            configure(inScalar, s);
            const auto left = test::noise(4 * 400, ++seed, c.level);
            const auto right = test::noise(4 * 400, ++seed, c.level);
            for (std::size_t n = 0; n < left.size(); n += 4) {
                Bands laneLeft{left[n], left[n + 1], left[n + 2], left[n + 3]};
                Bands laneRight{right[n], right[n + 1], right[n + 2], right[n + 3]};
                if (c.breaking != 0.0f && n % (4 * 97) == 0) laneLeft[2] = c.breaking;
                Bands scalarLeft = laneLeft;
                Bands scalarRight = laneRight;
                inLanes.processBands(laneLeft.data(), laneRight.data());
                inScalar.processBandsScalar(scalarLeft.data(), scalarRight.data());
                for (std::size_t band = 0; band < 4; ++band) {
                    ASSERT_EQ(test::bitsOf(laneLeft[band]), test::bitsOf(scalarLeft[band])) << n;
                    ASSERT_EQ(test::bitsOf(laneRight[band]), test::bitsOf(scalarRight[band])) << n;
                }
            }
            for (std::int32_t band = 0; band < 4; ++band) {
                const auto lanes = inLanes.band(band);
                const auto scalar = inScalar.band(band);
                ASSERT_EQ(test::bitsOf(lanes.envelopeLeft), test::bitsOf(scalar.envelopeLeft));
                ASSERT_EQ(test::bitsOf(lanes.envelopeRight), test::bitsOf(scalar.envelopeRight));
                ASSERT_EQ(test::bitsOf(lanes.gainLeft), test::bitsOf(scalar.gainLeft));
                ASSERT_EQ(test::bitsOf(lanes.gainRight), test::bitsOf(scalar.gainRight));
            }
        }
    }
}

TEST(BandDynamics, SmoothingFollowsEachBandsLowerEdge) {
    BandDynamics dynamics;
    configure(dynamics, Settings{});
    const double expected[] = {0.000679, 0.00677, 0.0235, 0.0657};
    for (std::int32_t band = 0; band < 4; ++band) {
        const double smoothing = static_cast<double>(dynamics.band(band).smoothing);
        EXPECT_NEAR(smoothing, expected[band], expected[band] * 2e-3) << band;
    }
}

struct GainCase {
    float masterDrive;
    float driveAdjust;
    float masterOut;
    float outAdjust;
    float inputGain;
    float smallSignalGain;  // 2 * sqrt(masterDrive * driveAdjust) * outAdjust * masterOut
};

TEST(BandDynamics, InputAndOutputGains) {
    const GainCase cases[] = {
        {1.0f, 1.0f, 0.3f, 1.0f, 4.0f, 0.6f},
        {2.0f, 4.0f, 1.0f, 1.0f, 32.0f, 2.0f * std::sqrt(8.0f)},
        {0.5f, 1.0f, 1.0f, 0.25f, 2.0f, 0.5f * std::sqrt(0.5f)},
    };
    for (const GainCase& c : cases) {
        Settings s;
        s.masterDrive = c.masterDrive;
        s.driveAdjust.fill(c.driveAdjust);
        s.masterOut = c.masterOut;
        s.outAdjust.fill(c.outAdjust);
        BandDynamics dynamics;
        configure(dynamics, s);
        for (std::int32_t band = 0; band < 4; ++band) {
            const auto readout = dynamics.band(band);
            EXPECT_EQ(readout.inputGain, c.inputGain);
            EXPECT_FLOAT_EQ(readout.inputGain * readout.outputGain, c.smallSignalGain);
        }
    }
    BandDynamics defaults;
    configure(defaults, Settings{});
    EXPECT_EQ(defaults.band(2).outputGain, 0.15f);
}

struct SteadyCase {
    bool squareRootMode;
    float drivenLevel;
    float expectedGain;
};

// A steady driven level x settles where g (1 + g^2 x^2) = 1 (plain law) or
// g^2 (1 + g^2 x^2) = 1 (square-root law).
TEST(BandDynamics, SteadyStateGains) {
    const SteadyCase cases[] = {
        {false, 1.0f, 0.6823278f}, {true, 1.0f, 0.7861514f}, {false, 0.1f, 0.9902885f},
        {true, 0.1f, 0.9950855f},  {false, 10.0f, 0.2f},     {true, 10.0f, 0.3084233f},
    };
    for (const SteadyCase& c : cases) {
        Settings s;
        s.squareRootMode = c.squareRootMode;
        s.release = 0.01f;
        BandDynamics dynamics;
        configure(dynamics, s);
        const float input = c.drivenLevel / 4.0f;  // inputGain 4
        const auto [left, right] = runConstant(dynamics, input, input, 40000);
        for (std::int32_t band = 0; band < 4; ++band) {
            EXPECT_NEAR(dynamics.band(band).gainLeft, c.expectedGain, 2e-5f) << band;
            EXPECT_NEAR(dynamics.band(band).gainRight, c.expectedGain, 2e-5f) << band;
            EXPECT_NEAR(left[static_cast<std::size_t>(band)],
                        c.drivenLevel * 0.15f * c.expectedGain, 1e-5f);
        }
    }
}

TEST(BandDynamics, SeparationWeightsTheOtherChannelsPower) {
    Settings apart;
    apart.separation = 1.0f;
    BandDynamics separate;
    configure(separate, apart);
    runConstant(separate, 0.5f, 0.0f, 5000);
    EXPECT_LT(separate.band(3).gainLeft, 0.9f);
    for (std::int32_t band = 0; band < 4; ++band) {
        EXPECT_EQ(separate.band(band).gainRight, 1.0f);
        EXPECT_EQ(separate.band(band).envelopeRight, 1.0);
    }

    Settings linked;
    linked.separation = 0.0f;
    BandDynamics together;
    configure(together, linked);
    runConstant(together, 0.5f, 0.0f, 5000);
    for (std::int32_t band = 0; band < 4; ++band) {
        const auto readout = together.band(band);
        EXPECT_EQ(readout.envelopeLeft, readout.envelopeRight);
        EXPECT_FLOAT_EQ(readout.gainLeft, readout.gainRight);
        EXPECT_LT(readout.gainLeft, 0.9f);
    }
}

// Release 0 must not divide by zero: smoothing 1, and each envelope is then
// 1 plus the weighted power of the current sample.
TEST(BandDynamics, ReleaseZeroFollowsTheInstantaneousPower) {
    Settings s;
    s.release = 0.0f;
    s.separation = 0.5f;  // own power 0.75, other 0.25
    BandDynamics dynamics;
    std::feclearexcept(FE_ALL_EXCEPT);
    configure(dynamics, s);
    EXPECT_EQ(std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW), 0);
    Bands left{0.5f, 0.25f, 0.0f, 0.125f};  // driven: 2, 1, 0, 0.5 at gain 1
    Bands right{0.0f, 0.25f, 0.5f, 0.0f};
    dynamics.processBands(left.data(), right.data());
    const double drivenLeft[] = {2.0, 1.0, 0.0, 0.5};
    const double drivenRight[] = {0.0, 1.0, 2.0, 0.0};
    for (std::int32_t band = 0; band < 4; ++band) {
        const auto b = static_cast<std::size_t>(band);
        const double pL = drivenLeft[b] * drivenLeft[b];
        const double pR = drivenRight[b] * drivenRight[b];
        EXPECT_EQ(dynamics.band(band).smoothing, 1.0f);
        EXPECT_EQ(dynamics.band(band).envelopeLeft, 1.0 + 0.75 * pL + 0.25 * pR);
        EXPECT_EQ(dynamics.band(band).envelopeRight, 1.0 + 0.75 * pR + 0.25 * pL);
    }
}

// Envelopes of exactly 4.0 and 1.0 (band 0: 1 + 0.75 * 2^2 and silence) must
// give gains of exactly 0.5 and 1.0; others stay within float precision.
TEST(BandDynamics, SquareRootLawIsExactAtOneAndFour) {
    Settings s;
    s.release = 0.0f;
    s.squareRootMode = true;
    BandDynamics dynamics;
    configure(dynamics, s);
    Bands left{0.5f, 0.0f, 0.0f, 0.0f};
    Bands right{0.0f, 0.0f, 0.0f, 0.0f};
    dynamics.processBands(left.data(), right.data());
    EXPECT_EQ(dynamics.band(0).envelopeLeft, 4.0);
    EXPECT_EQ(dynamics.band(0).gainLeft, 0.5f);
    EXPECT_EQ(dynamics.band(1).envelopeLeft, 1.0);
    EXPECT_EQ(dynamics.band(1).gainLeft, 1.0f);
    // The output is drive, output gain and new gain: 0.5 * 4 * 0.15 * 0.5.
    EXPECT_FLOAT_EQ(left[0], 0.15f);
    EXPECT_NEAR(dynamics.band(0).gainRight, 1.0 / std::sqrt(2.0), 1e-7);
}

TEST(BandDynamics, SquareRootAndReciprocalAcrossEnvelopes) {
    for (bool squareRootMode : {false, true}) {
        Settings s;
        s.release = 0.0f;
        s.separation = 1.0f;
        s.squareRootMode = squareRootMode;
        BandDynamics dynamics;
        configure(dynamics, s);
        for (float level : {0.001f, 0.3f, 1.7f, 12.0f, 400.0f}) {
            Bands left{};
            Bands right{};
            left.fill(level);
            right.fill(level * 0.5f);
            dynamics.processBands(left.data(), right.data());
            const auto b = dynamics.band(2);
            const double exponent = squareRootMode ? -0.5 : -1.0;
            EXPECT_NEAR(b.gainLeft, std::pow(b.envelopeLeft, exponent),
                        2e-7 * std::pow(b.envelopeLeft, exponent));
            EXPECT_NEAR(b.gainRight, std::pow(b.envelopeRight, exponent),
                        2e-7 * std::pow(b.envelopeRight, exponent));
        }
    }
}

TEST(BandDynamics, GainsRecoverInSilenceAndSurviveReconfiguration) {
    Settings s;
    BandDynamics dynamics;
    configure(dynamics, s);
    runConstant(dynamics, 1.0f, 1.0f, 20000);
    const auto loud = dynamics.band(0);

    s.release = 0.5f;
    s.masterDrive = 3.0f;
    s.squareRootMode = true;
    configure(dynamics, s);
    const auto reconfigured = dynamics.band(0);
    EXPECT_EQ(reconfigured.envelopeLeft, loud.envelopeLeft);
    EXPECT_EQ(reconfigured.gainRight, loud.gainRight);

    configure(dynamics, Settings{});
    float previous = loud.gainLeft;
    for (int block = 0; block < 10; ++block) {
        runConstant(dynamics, 0.0f, 0.0f, 1000);
        EXPECT_GT(dynamics.band(0).gainLeft, previous);
        EXPECT_GT(dynamics.band(0).envelopeLeft, 1.0);
        previous = dynamics.band(0).gainLeft;
    }
    EXPECT_GT(previous, 0.99f);
}

struct BrokenBand {
    const char* name;
    float value;
    float release;
    bool squareRootMode;
};

// A band value whose power overflows, or a non-finite one, leaves the band
// exactly where a fresh processor starts: the samples after it come out as
// from a fresh processor.
TEST(BandDynamics, BandBrokenByOverflowStartsAfresh) {
    const float inf = std::numeric_limits<float>::infinity();
    const BrokenBand cases[] = {
        {"+inf", inf, 0.1f, false},         {"-inf", -inf, 0.0f, true},
        {"NaN", std::nanf(""), 0.1f, true}, {"3e38", 3e38f, 0.0f, false},
        {"1e30", 1e30f, 0.1f, false},       {"1e30", -1e30f, 2.0f, true},
    };
    for (const BrokenBand& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.squareRootMode ? " B" : " A"));
        Settings s;
        s.release = c.release;
        s.squareRootMode = c.squareRootMode;
        BandDynamics hit;
        BandDynamics fresh;
        configure(hit, s);
        configure(fresh, s);
        Bands left{};
        Bands right{};
        left.fill(c.value);
        right.fill(0.5f);
        hit.processBands(left.data(), right.data());
        for (int n = 0; n < 2000; ++n) {
            const float x = 0.6f * std::sin(0.05f * static_cast<float>(n));
            Bands l1{x, -x, 0.5f * x, 0.1f};
            Bands r1{0.3f, x, x, -x};
            Bands l2 = l1;
            Bands r2 = r1;
            hit.processBands(l1.data(), r1.data());
            fresh.processBands(l2.data(), r2.data());
            ASSERT_EQ(l1, l2) << n;
            ASSERT_EQ(r1, r2) << n;
        }
    }
}

// With a release of 0 a huge envelope cancels to 0 in its next update, where
// the plain law would divide by zero; the band is reset instead.
TEST(BandDynamics, HugeEnvelopeWithReleaseZeroStaysFinite) {
    for (bool squareRootMode : {false, true}) {
        Settings s;
        s.release = 0.0f;
        s.squareRootMode = squareRootMode;
        BandDynamics dynamics;
        configure(dynamics, s);
        Bands left{};
        Bands right{};
        left.fill(1e10f);
        right.fill(1e10f);
        dynamics.processBands(left.data(), right.data());
        for (int n = 0; n < 100; ++n) {
            left.fill(0.25f);
            right.fill(-0.25f);
            dynamics.processBands(left.data(), right.data());
            for (std::size_t band = 0; band < 4; ++band) {
                ASSERT_TRUE(std::isfinite(left[band]) && std::isfinite(right[band])) << n;
                const auto readout = dynamics.band(static_cast<std::int32_t>(band));
                ASSERT_GE(readout.envelopeLeft, 1.0) << n;
                ASSERT_GE(readout.envelopeRight, 1.0) << n;
            }
        }
    }
}

}  // namespace
}  // namespace dsp
