#include "editor/BandResponse.h"

#include <algorithm>
#include <cmath>

#include "dsp/FilterBankList.h"

namespace editor {

namespace {
// The rate the picture assumes; the curves' shapes hardly depend on it
// below a few kHz.
constexpr float kSampleRate = 44100.0f;
// Enough of the impulse response for the slowest band edge (a 20 Hz
// crossover) to ring out below -90 dB; higher crossovers need less.
constexpr std::size_t kLongestImpulse = 8192;
constexpr std::size_t kShortestImpulse = 1024;
constexpr double kPeriodsOfLowestCrossover = 4.0;
constexpr double kPi = 3.14159265358979323846;
}  // namespace

BandResponse::BandResponse() {
    for (const dsp::FilterBankEntry& entry : dsp::kFilterBankList)
        banks_.emplace_back(entry.create());
    impulse_.resize(kLongestImpulse);
}

BandResponse::~BandResponse() = default;

double BandResponse::frequency(int i) {
    return kLowestHz * std::pow(kHighestHz / kLowestHz, static_cast<double>(i) / (kPoints - 1));
}

void BandResponse::compute(std::size_t bank, const std::array<float, 3>& crossovers) {
    dsp::BandSplitter& splitter = *banks_.at(std::min(bank, banks_.size() - 1));
    splitter.setFrequencies(crossovers.data(), kSampleRate);
    splitter.reset();
    const double lowest =
        std::max(1.0, static_cast<double>(*std::min_element(crossovers.begin(), crossovers.end())));
    std::size_t length = kShortestImpulse;
    while (length < kLongestImpulse &&
           static_cast<double>(length) <
               kPeriodsOfLowestCrossover * static_cast<double>(kSampleRate) / lowest) {
        length *= 2;
    }
    float bands[64] = {};
    for (std::size_t n = 0; n < length; ++n) {
        splitter.process(n == 0 ? 1.0f : 0.0f, bands);
        for (std::size_t b = 0; b < 4; ++b) impulse_[n][b] = bands[b];
    }
    // Goertzel: the magnitude at one frequency in one multiply per sample,
    // the four bands side by side so that their chains overlap.
    for (int i = 0; i < kPoints; ++i) {
        const double coefficient =
            2.0 * std::cos(2.0 * kPi * frequency(i) / static_cast<double>(kSampleRate));
        double s1[4] = {};
        double s2[4] = {};
        for (std::size_t n = 0; n < length; ++n) {
            for (std::size_t b = 0; b < 4; ++b) {
                const double s0 = static_cast<double>(impulse_[n][b]) + coefficient * s1[b] - s2[b];
                s2[b] = s1[b];
                s1[b] = s0;
            }
        }
        for (std::size_t b = 0; b < 4; ++b) {
            const double power = s1[b] * s1[b] + s2[b] * s2[b] - coefficient * s1[b] * s2[b];
            decibels_[b][static_cast<std::size_t>(i)] = 10.0 * std::log10(std::max(power, 1e-24));
        }
    }
}

}  // namespace editor
