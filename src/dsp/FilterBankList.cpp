#include "dsp/FilterBankList.h"

namespace dsp {
namespace {

struct BankNames {
    const char* identifier;
    const char* displayName;
};

// The identifiers are fixed texts: those of the allpass banks read
// "Allpass6B" while the section itself is named "Allpass6".
constexpr std::array<BankNames, kFilterBankCount> kNames = {{
    {"Tessel6A", "Tessel6A"},
    {"Tessel6B", "Tessel6B"},
    {"Lowpass6A peel-up", "LP6A up"},
    {"Lowpass6A peel-down", "LP6A dn"},
    {"Lowpass6B peel-up", "LP6B up"},
    {"Lowpass6B peel-down", "LP6B dn"},
    {"Allpass6B peel-up", "AP6B up"},
    {"Allpass6B peel-down", "AP6B dn"},
    {"Lowpass12 peel-up", "LP12 up"},
    {"Lowpass12 peel-down", "LP12 dn"},
    {"Lowpass18 peel-up", "LP18 up"},
    {"Lowpass18 peel-down", "LP18 dn"},
}};

template <class Bank>
BandSplitter* createBank() {
    return new Bank();
}

template <std::size_t... Index>
constexpr std::array<FilterBankEntry, kFilterBankCount> makeList(std::index_sequence<Index...>) {
    return {{{kNames[Index].identifier, kNames[Index].displayName,
              &createBank<std::tuple_element_t<Index, FilterBankTypes>>}...}};
}

}  // namespace

const std::array<FilterBankEntry, kFilterBankCount> kFilterBankList =
    makeList(std::make_index_sequence<kFilterBankCount>{});

}  // namespace dsp
