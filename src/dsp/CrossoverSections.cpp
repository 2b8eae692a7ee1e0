#include "dsp/CrossoverSections.h"

#include <cmath>

#include "dsp/CrossoverCoefficients.h"

namespace dsp {
namespace {

double sectionRatio(const float* frequencies, float sampleRate) {
    return static_cast<double>(frequencies[0]) / static_cast<double>(sampleRate);
}

}  // namespace

// Each update below stores into the state before the next line reads it, and
// bands is written last: it may be the very entry the input was taken from.

void Lowpass6A::reset() {
    stateLeft_ = 0.0f;
    stateRight_ = 0.0f;
}

void Lowpass6A::setFrequencies(const float* frequencies, float sampleRate) {
    coefficient_ = onePoleCoefficient(sectionRatio(frequencies, sampleRate));
}

void Lowpass6A::split(float input, float& state, float* bands) const {
    const float low = state;
    const float high = input - state;
    state = state + coefficient_ * high;
    bands[0] = low;
    bands[1] = high;
}

void Lowpass6A::process(float input, float* bands) {
    split(input, stateLeft_, bands);
}

void Lowpass6A::processStereo(float inputLeft, float inputRight, float* bandsLeft,
                              float* bandsRight) {
    split(inputLeft, stateLeft_, bandsLeft);
    split(inputRight, stateRight_, bandsRight);
}

void Lowpass6B::reset() {
    stateLeft_ = 0.0f;
    stateRight_ = 0.0f;
}

void Lowpass6B::setFrequencies(const float* frequencies, float sampleRate) {
    coefficient_ = onePoleCoefficient(sectionRatio(frequencies, sampleRate));
}

void Lowpass6B::split(float input, float& state, float* bands) const {
    state = state + coefficient_ * (input - state);
    bands[0] = state;
    bands[1] = input - state;
}

void Lowpass6B::process(float input, float* bands) {
    split(input, stateLeft_, bands);
}

void Lowpass6B::processStereo(float inputLeft, float inputRight, float* bandsLeft,
                              float* bandsRight) {
    split(inputLeft, stateLeft_, bandsLeft);
    split(inputRight, stateRight_, bandsRight);
}

void Allpass6::reset() {
    stateLeft_ = 0.0f;
    stateRight_ = 0.0f;
}

void Allpass6::setFrequencies(const float* frequencies, float sampleRate) {
    coefficient_ = allpassCoefficient(sectionRatio(frequencies, sampleRate));
}

void Allpass6::split(float input, float& state, float* bands) const {
    const float half = input * 0.5f;
    const float allpassed = state - coefficient_ * half;
    state = half + coefficient_ * allpassed;
    bands[0] = half + allpassed;
    bands[1] = half - allpassed;
}

void Allpass6::process(float input, float* bands) {
    split(input, stateLeft_, bands);
}

void Allpass6::processStereo(float inputLeft, float inputRight, float* bandsLeft,
                             float* bandsRight) {
    split(inputLeft, stateLeft_, bandsLeft);
    split(inputRight, stateRight_, bandsRight);
}

void Lowpass12::reset() {
    stage1Left_ = 0.0f;
    stage1Right_ = 0.0f;
    stage2Left_ = 0.0f;
    stage2Right_ = 0.0f;
}

void Lowpass12::setFrequencies(const float* frequencies, float sampleRate) {
    // Two stages of 0.5^(1/4) each make 0.5^(1/2), -3 dB, at the frequency.
    const double stageGain = std::pow(0.5, 0.25);
    coefficient_ = onePoleGainCoefficient(sectionRatio(frequencies, sampleRate), stageGain);
}

void Lowpass12::split(float input, float& stage1, float& stage2, float* bands) const {
    stage1 = stage1 + coefficient_ * (input - stage1);
    stage2 = stage2 + coefficient_ * (stage1 - stage2);
    bands[0] = stage2;
    bands[1] = input - stage2;
}

void Lowpass12::process(float input, float* bands) {
    split(input, stage1Left_, stage2Left_, bands);
}

void Lowpass12::processStereo(float inputLeft, float inputRight, float* bandsLeft,
                              float* bandsRight) {
    split(inputLeft, stage1Left_, stage2Left_, bandsLeft);
    split(inputRight, stage1Right_, stage2Right_, bandsRight);
}

void Lowpass18::reset() {
    stage1Left_ = 0.0f;
    stage1Right_ = 0.0f;
    stage2Left_ = 0.0f;
    stage2Right_ = 0.0f;
    stage3Left_ = 0.0f;
    stage3Right_ = 0.0f;
}

void Lowpass18::setFrequencies(const float* frequencies, float sampleRate) {
    // Three stages of 0.5^(1/6) each; the exponent is the single-precision 1/6.
    const double stageGain = std::pow(0.5, static_cast<double>(1.0f / 6.0f));
    coefficient_ = onePoleGainCoefficient(sectionRatio(frequencies, sampleRate), stageGain);
}

void Lowpass18::split(float input, float& stage1, float& stage2, float& stage3,
                      float* bands) const {
    stage1 = stage1 + coefficient_ * (input - stage1);
    stage2 = stage2 + coefficient_ * (stage1 - stage2);
    stage3 = stage3 + coefficient_ * (stage2 - stage3);
    bands[0] = stage3;
    bands[1] = input - stage3;
}

void Lowpass18::process(float input, float* bands) {
    split(input, stage1Left_, stage2Left_, stage3Left_, bands);
}

void Lowpass18::processStereo(float inputLeft, float inputRight, float* bandsLeft,
                              float* bandsRight) {
    split(inputLeft, stage1Left_, stage2Left_, stage3Left_, bandsLeft);
    split(inputRight, stage1Right_, stage2Right_, stage3Right_, bandsRight);
}

}  // namespace dsp
