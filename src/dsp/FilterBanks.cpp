#include "dsp/FilterBanks.h"

#include "dsp/CrossoverCoefficients.h"

namespace dsp {
namespace {

// The parallel banks take each ratio as sample period times frequency.
double bankRatio(double samplePeriod, float frequency) {
    return samplePeriod * static_cast<double>(frequency);
}

}  // namespace

std::string TesselBankA::name() const {
    return std::to_string(bandCount()) + "-band tesselA 6dB/oct";
}

void TesselBankA::reset() {
    statesLeft_.fill(0.0f);
    statesRight_.fill(0.0f);
}

void TesselBankA::setFrequencies(const float* frequencies, float sampleRate) {
    const double samplePeriod = 1.0 / static_cast<double>(sampleRate);
    for (std::size_t i = 0; i < coefficients_.size(); ++i) {
        coefficients_[i] = allpassCoefficient(bankRatio(samplePeriod, frequencies[i]));
    }
}

void TesselBankA::split(float input, std::array<float, 3>& states, float* bands) const {
    const float half = input * 0.5f;
    std::array<float, 3> allpassed{};
    for (std::size_t i = 0; i < states.size(); ++i) {
        allpassed[i] = states[i] - coefficients_[i] * half;
        states[i] = half + coefficients_[i] * allpassed[i];
    }
    // The bands telescope: their sum is 2 * half = input.
    bands[0] = half + allpassed[0];
    bands[1] = allpassed[1] - allpassed[0];
    bands[2] = allpassed[2] - allpassed[1];
    bands[3] = half - allpassed[2];
}

void TesselBankA::process(float input, float* bands) {
    split(input, statesLeft_, bands);
}

void TesselBankA::processStereo(float inputLeft, float inputRight, float* bandsLeft,
                                float* bandsRight) {
    split(inputLeft, statesLeft_, bandsLeft);
    split(inputRight, statesRight_, bandsRight);
}

std::string TesselBankB::name() const {
    return std::to_string(bandCount()) + "-band tesselB 6dB/oct";
}

void TesselBankB::reset() {
    statesLeft_.fill(0.0f);
    statesRight_.fill(0.0f);
}

void TesselBankB::setFrequencies(const float* frequencies, float sampleRate) {
    const double samplePeriod = 1.0 / static_cast<double>(sampleRate);
    for (std::size_t i = 0; i < coefficients_.size(); ++i) {
        coefficients_[i] = onePoleCoefficient(bankRatio(samplePeriod, frequencies[i]));
    }
}

void TesselBankB::split(float input, std::array<float, 3>& states, float* bands) const {
    for (std::size_t i = 0; i < states.size(); ++i) {
        states[i] = states[i] + coefficients_[i] * (input - states[i]);
    }
    bands[0] = states[0];
    bands[1] = states[1] - states[0];
    bands[2] = states[2] - states[1];
    bands[3] = input - states[2];
}

void TesselBankB::process(float input, float* bands) {
    split(input, statesLeft_, bands);
}

void TesselBankB::processStereo(float inputLeft, float inputRight, float* bandsLeft,
                                float* bandsRight) {
    split(inputLeft, statesLeft_, bandsLeft);
    split(inputRight, statesRight_, bandsRight);
}

template class PeelUpBank<Lowpass6A>;
template class PeelDownBank<Lowpass6A>;
template class PeelUpBank<Lowpass6B>;
template class PeelDownBank<Lowpass6B>;
template class PeelUpBank<Allpass6>;
template class PeelDownBank<Allpass6>;
template class PeelUpBank<Lowpass12>;
template class PeelDownBank<Lowpass12>;
template class PeelUpBank<Lowpass18>;
template class PeelDownBank<Lowpass18>;

}  // namespace dsp
