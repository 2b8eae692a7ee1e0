#include "dsp/CrossoverSections.h"

#include <cmath>

#include "dsp/CrossoverCoefficients.h"

namespace dsp {
namespace {

double sectionRatio(const float* frequencies, float sampleRate) {
    return static_cast<double>(frequencies[0]) / static_cast<double>(sampleRate);
}

}  // namespace

void Lowpass6A::setFrequencies(const float* frequencies, float sampleRate) {
    coefficient_ = onePoleCoefficient(sectionRatio(frequencies, sampleRate));
}

void Lowpass6B::setFrequencies(const float* frequencies, float sampleRate) {
    coefficient_ = onePoleCoefficient(sectionRatio(frequencies, sampleRate));
}

void Allpass6::setFrequencies(const float* frequencies, float sampleRate) {
    coefficient_ = allpassCoefficient(sectionRatio(frequencies, sampleRate));
}

void Lowpass12::setFrequencies(const float* frequencies, float sampleRate) {
    // Two stages of 0.5^(1/4) each make 0.5^(1/2), -3 dB, at the frequency.
    const double stageGain = std::pow(0.5, 0.25);
    coefficient_ = onePoleGainCoefficient(sectionRatio(frequencies, sampleRate), stageGain);
}

void Lowpass18::setFrequencies(const float* frequencies, float sampleRate) {
    // Three stages of 0.5^(1/6) each; the exponent is the single-precision 1/6.
    const double stageGain = std::pow(0.5, static_cast<double>(1.0f / 6.0f));
    coefficient_ = onePoleGainCoefficient(sectionRatio(frequencies, sampleRate), stageGain);
}

}  // namespace dsp
