#include "dsp/FilterBankList.h"

#include "dsp/CrossoverSections.h"
#include "dsp/FilterBanks.h"

namespace dsp {
namespace {

template <class Bank>
BandSplitter* createBank() {
    return new Bank();
}

}  // namespace

// The identifiers are fixed texts: those of the allpass banks read
// "Allpass6B" while the section itself is named "Allpass6".
const std::array<FilterBankEntry, 12> kFilterBankList = {{
    {"Tessel6A", "Tessel6A", &createBank<TesselBankA>},
    {"Tessel6B", "Tessel6B", &createBank<TesselBankB>},
    {"Lowpass6A peel-up", "LP6A up", &createBank<PeelUpBank<Lowpass6A>>},
    {"Lowpass6A peel-down", "LP6A dn", &createBank<PeelDownBank<Lowpass6A>>},
    {"Lowpass6B peel-up", "LP6B up", &createBank<PeelUpBank<Lowpass6B>>},
    {"Lowpass6B peel-down", "LP6B dn", &createBank<PeelDownBank<Lowpass6B>>},
    {"Allpass6B peel-up", "AP6B up", &createBank<PeelUpBank<Allpass6>>},
    {"Allpass6B peel-down", "AP6B dn", &createBank<PeelDownBank<Allpass6>>},
    {"Lowpass12 peel-up", "LP12 up", &createBank<PeelUpBank<Lowpass12>>},
    {"Lowpass12 peel-down", "LP12 dn", &createBank<PeelDownBank<Lowpass12>>},
    {"Lowpass18 peel-up", "LP18 up", &createBank<PeelUpBank<Lowpass18>>},
    {"Lowpass18 peel-down", "LP18 dn", &createBank<PeelDownBank<Lowpass18>>},
}};

}  // namespace dsp
