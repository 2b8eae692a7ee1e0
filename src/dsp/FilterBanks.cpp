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
    for (std::size_t i = 0; i < 3; ++i) {
        coefficients_[i] = allpassCoefficient(bankRatio(samplePeriod, frequencies[i]));
    }
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
