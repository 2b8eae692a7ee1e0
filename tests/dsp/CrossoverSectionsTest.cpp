#include "dsp/CrossoverSections.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <complex>

#include "SplitterTestSupport.h"

namespace dsp {
namespace {

using test::sectionTypes;

constexpr float kRate = 44100.0f;
constexpr double kRateHz = static_cast<double>(kRate);

void setFrequency(BandSplitter& section, float frequency, float sampleRate = kRate) {
    section.setFrequencies(&frequency, sampleRate);
}

// Random signals at frequencies in and out of range, changed while running,
// through both the mono and the stereo path.
TEST(CrossoverSections, LowAndHighAddUpToTheInput) {
    const float frequencies[] = {1000.0f, 0.0f, -50.0f, 20.0f, 22050.0f, 30000.0f, 90000.0f};
    const auto left = test::noise(4096, 1);
    const auto right = test::noise(4096, 2, 100.0f);
    for (const auto& type : sectionTypes()) {
        const auto section = type.create();
        float bandsLeft[2];
        float bandsRight[2];
        for (std::size_t n = 0; n < left.size(); ++n) {
            if (n % 512 == 0) setFrequency(*section, frequencies[(n / 512) % 7]);
            section->processStereo(left[n], right[n], bandsLeft, bandsRight);
            ASSERT_LE(test::reconstructionError(left[n], bandsLeft, 2), 1.0) << type.name << n;
            ASSERT_LE(test::reconstructionError(right[n], bandsRight, 2), 1.0) << type.name << n;
            section->process(right[n], bandsRight);
            ASSERT_LE(test::reconstructionError(right[n], bandsRight, 2), 1.0) << type.name << n;
        }
    }
}

// Coefficient 0 before any setFrequencies: the lowpass types pass everything
// to the high band; Allpass6's allpass is a plain one-sample delay.
TEST(CrossoverSections, UnsetSectionsUseCoefficientZero) {
    const float input[] = {1.0f, -0.5f, 0.25f, 2.0f};
    for (const auto& type : sectionTypes()) {
        const auto section = type.create();
        float previous = 0.0f;
        for (float x : input) {
            float bands[2];
            section->process(x, bands);
            const bool allpass = type.name == std::string("Allpass6");
            EXPECT_FLOAT_EQ(bands[0], allpass ? (x + previous) / 2 : 0.0f) << type.name;
            EXPECT_FLOAT_EQ(bands[1], allpass ? (x - previous) / 2 : x) << type.name;
            previous = x;
        }
    }
}

TEST(CrossoverSections, OnePoleFamiliesAtFrequencyZeroHoldTheirMemory) {
    const auto input = test::noise(256, 3);
    for (const auto& type : sectionTypes()) {
        if (type.name == std::string("Allpass6")) continue;
        const auto section = type.create();
        for (float frequency : {0.0f, -100.0f}) {
            setFrequency(*section, frequency);
            section->reset();
            for (float x : input) {
                float bands[2];
                section->process(x, bands);
                ASSERT_EQ(bands[0], 0.0f) << type.name;
                ASSERT_EQ(bands[1], x) << type.name;
            }
        }
    }
}

TEST(CrossoverSections, Lowpass6AIsLowpass6BOneSampleLater) {
    Lowpass6A a;
    Lowpass6B b;
    setFrequency(a, 700.0f);
    setFrequency(b, 700.0f);
    float previousLow = 0.0f;
    for (float x : test::noise(512, 4)) {
        float bandsA[2];
        float bandsB[2];
        a.process(x, bandsA);
        b.process(x, bandsB);
        ASSERT_EQ(bandsA[0], previousLow);
        ASSERT_EQ(bandsA[1], x - previousLow);
        previousLow = bandsB[0];
    }
}

TEST(CrossoverSections, MonoRunsOnTheLeftMemories) {
    const auto signal = test::noise(200, 7);
    for (const auto& type : sectionTypes()) {
        const auto shared = type.create();
        const auto leftOnly = type.create();
        const auto rightOnly = type.create();
        for (const auto& section : {&shared, &leftOnly, &rightOnly})
            setFrequency(**section, 900.0f);
        for (std::size_t n = 0; n + 1 < signal.size(); n += 2) {
            float bandsLeft[2];
            float bandsRight[2];
            float expectedLeft[2];
            float expectedRight[2];
            shared->process(signal[n], bandsLeft);
            leftOnly->process(signal[n], expectedLeft);
            shared->processStereo(signal[n + 1], -signal[n + 1], bandsLeft, bandsRight);
            leftOnly->process(signal[n + 1], expectedLeft);
            rightOnly->process(-signal[n + 1], expectedRight);
            ASSERT_EQ(bandsLeft[0], expectedLeft[0]) << type.name;
            ASSERT_EQ(bandsRight[0], expectedRight[0]) << type.name;
        }
    }
}

struct ResponseCase {
    const char* section;
    double frequency;
    int band;
    double expectedDecibels;
    double tolerance;
};

TEST(CrossoverSections, MeasuredMagnitudes) {
    const double kHalfPower = 10.0 * std::log10(0.5);
    const double fc = 1000.0;
    const double nyquist = kRateHz / 2.0;
    // Highs at Nyquist: (1 - z^-1) / (1 - (1 - k) z^-1) gives 2 / (2 - k) for
    // Lowpass6A and (1 - k) times that for Lowpass6B, with k = 0.132583.
    const double k = 0.132583;
    const ResponseCase cases[] = {
        {"Lowpass6A", fc, 0, kHalfPower, 1e-3},
        {"Lowpass6B", fc, 0, kHalfPower, 1e-3},
        {"Allpass6", fc, 0, kHalfPower, 1e-3},
        {"Allpass6", fc, 1, kHalfPower, 1e-3},
        {"Lowpass12", fc, 0, kHalfPower, 1e-3},
        {"Lowpass18", fc, 0, kHalfPower, 1e-3},
        {"Lowpass12", fc, 1, -1.27, 0.01},
        {"Lowpass18", fc, 1, 0.04, 0.01},
        {"Lowpass6A", nyquist, 1, 20.0 * std::log10(2.0 / (2.0 - k)), 1e-3},
        {"Lowpass6B", nyquist, 1, 20.0 * std::log10(2.0 * (1.0 - k) / (2.0 - k)), 1e-3},
        // Two octaves up, the steeper cascades are further down despite their
        // higher per-stage corner frequencies.
        {"Lowpass6B", 4.0 * fc, 0, -12.20, 0.01},
        {"Lowpass12", 4.0 * fc, 0, -17.46, 0.01},
        {"Lowpass18", 4.0 * fc, 0, -21.11, 0.01},
    };
    for (const ResponseCase& c : cases) {
        for (const auto& type : sectionTypes()) {
            if (type.name != std::string(c.section)) continue;
            const auto section = type.create();
            setFrequency(*section, static_cast<float>(fc));
            const auto responses = test::bandResponses(*section, c.frequency / kRateHz);
            EXPECT_NEAR(test::decibels(responses[static_cast<std::size_t>(c.band)]),
                        c.expectedDecibels, c.tolerance)
                << c.section << " band " << c.band << " at " << c.frequency << " Hz";
        }
    }
}

TEST(CrossoverSections, Allpass6BandsArePowerComplementaryAndInQuadrature) {
    Allpass6 section;
    setFrequency(section, 3000.0f);
    for (double frequency : {30.0, 300.0, 3000.0, 10000.0, 20000.0}) {
        const auto responses = test::bandResponses(section, frequency / kRateHz);
        EXPECT_NEAR(std::norm(responses[0]) + std::norm(responses[1]), 1.0, 1e-5) << frequency;
        EXPECT_NEAR(std::fabs(std::arg(responses[0] / responses[1])), 3.14159265358979 / 2, 1e-4)
            << frequency;
    }
}

}  // namespace
}  // namespace dsp
