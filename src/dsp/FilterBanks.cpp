#include "dsp/FilterBanks.h"

#include "dsp/CrossoverCoefficients.h"

namespace dsp {
std::string TesselBankA::name() const {
    return nameWith("tesselA 6dB/oct");
}

float TesselBankA::coefficient(double ratio) {
    return allpassCoefficient(ratio);
}

std::string TesselBankB::name() const {
    return nameWith("tesselB 6dB/oct");
}

float TesselBankB::coefficient(double ratio) {
    return onePoleCoefficient(ratio);
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
