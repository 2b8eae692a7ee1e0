#include "editor/BandResponse.h"

#include <algorithm>
#include <cmath>

#include "dsp/FilterBankList.h"

namespace editor {

namespace {
// The rate the picture assumes; the curves' shapes hardly depend on it
// below a few kHz.
constexpr float kSampleRate = 44100.0f;
// Long enough for the slowest band edge (a 20 Hz crossover) to ring out.
constexpr std::size_t kImpulseLength = 8192;
constexpr double kPi = 3.14159265358979323846;
}  // namespace

BandResponse::BandResponse() {
    for (const dsp::FilterBankEntry& entry : dsp::kFilterBankList) banks_.emplace_back(entry.create());
    for (auto& impulse : impulses_) impulse.resize(kImpulseLength);
}

BandResponse::~BandResponse() = default;

double BandResponse::frequency(int i) {
    return kLowestHz * std::pow(kHighestHz / kLowestHz, static_cast<double>(i) / (kPoints - 1));
}

void BandResponse::compute(std::size_t bank, const std::array<float, 3>& crossovers) {
    dsp::BandSplitter& splitter = *banks_.at(std::min(bank, banks_.size() - 1));
    splitter.setFrequencies(crossovers.data(), kSampleRate);
    splitter.reset();
    float bands[64] = {};
    for (std::size_t n = 0; n < kImpulseLength; ++n) {
        splitter.process(n == 0 ? 1.0f : 0.0f, bands);
        for (std::size_t b = 0; b < 4; ++b) impulses_[b][n] = bands[b];
    }
    // Goertzel: the magnitude at one frequency in one multiply per sample.
    for (int i = 0; i < kPoints; ++i) {
        const double coefficient = 2.0 * std::cos(2.0 * kPi * frequency(i) / static_cast<double>(kSampleRate));
        for (std::size_t b = 0; b < 4; ++b) {
            double s1 = 0.0;
            double s2 = 0.0;
            for (const float h : impulses_[b]) {
                const double s0 = static_cast<double>(h) + coefficient * s1 - s2;
                s2 = s1;
                s1 = s0;
            }
            const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
            decibels_[b][static_cast<std::size_t>(i)] = 10.0 * std::log10(std::max(power, 1e-24));
        }
    }
}

}  // namespace editor
