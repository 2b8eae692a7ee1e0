// Helpers shared by the dsp tests: the five section types as factories, a
// seeded noise source, the reconstruction check, a measured frequency
// response, and bit patterns for comparing lane kernels with their scalar
// twins bit for bit.
#pragma once

#include <cmath>
#include <complex>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "dsp/BandSplitter.h"
#include "dsp/CrossoverSections.h"

namespace dsp::test {

struct SectionType {
    const char* name;
    std::function<std::unique_ptr<BandSplitter>()> create;
    bool onePoleFamily;  // Lowpass6A/6B: no upper frequency limit
};

inline const std::vector<SectionType>& sectionTypes() {
    static const std::vector<SectionType> types = {
        {"Lowpass6A", [] { return std::make_unique<Lowpass6A>(); }, true},
        {"Lowpass6B", [] { return std::make_unique<Lowpass6B>(); }, true},
        {"Allpass6", [] { return std::make_unique<Allpass6>(); }, false},
        {"Lowpass12", [] { return std::make_unique<Lowpass12>(); }, false},
        {"Lowpass18", [] { return std::make_unique<Lowpass18>(); }, false},
    };
    return types;
}

inline std::vector<float> noise(std::size_t length, std::uint32_t seed, float amplitude = 1.0f) {
    std::mt19937 generator(seed);
    std::uniform_real_distribution<float> distribution(-amplitude, amplitude);
    std::vector<float> signal(length);
    for (float& sample : signal) sample = distribution(generator);
    return signal;
}

// Bands add up to the input to within a few roundings of the band magnitudes.
inline double reconstructionError(float input, const float* bands, std::int32_t count) {
    double sum = 0.0;
    double magnitude = std::fabs(static_cast<double>(input));
    for (std::int32_t b = 0; b < count; ++b) {
        sum += static_cast<double>(bands[b]);
        magnitude += std::fabs(static_cast<double>(bands[b]));
    }
    const double allowed =
        8.0 * static_cast<double>(std::numeric_limits<float>::epsilon()) * (magnitude + 1e-30);
    return std::fabs(sum - static_cast<double>(input)) / allowed;  // <= 1 passes
}

// Complex response of each band at frequency ratio f / fs, from an impulse
// response long enough to have decayed below single-precision resolution.
inline std::vector<std::complex<double>> bandResponses(BandSplitter& splitter, double ratio,
                                                       int length = 16384) {
    const auto count = static_cast<std::size_t>(splitter.bandCount());
    std::vector<std::complex<double>> responses(count);
    std::vector<float> bands(count);
    splitter.reset();
    const double omega = 2.0 * 3.14159265358979323846 * ratio;
    for (int n = 0; n < length; ++n) {
        splitter.process(n == 0 ? 1.0f : 0.0f, bands.data());
        const std::complex<double> rotation = std::polar(1.0, -omega * n);
        for (std::size_t b = 0; b < count; ++b) {
            responses[b] += static_cast<double>(bands[b]) * rotation;
        }
    }
    return responses;
}

inline std::uint32_t bitsOf(float x) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

inline std::uint64_t bitsOf(double x) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

inline double decibels(std::complex<double> response) {
    return 20.0 * std::log10(std::abs(response));
}

}  // namespace dsp::test
