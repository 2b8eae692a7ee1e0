// The twelve selectable filter banks in choice order, with the identifier and
// display name each gets as a choice of the filter-bank parameter. create()
// returns a new bank that the caller owns and deletes.
#pragma once

#include <array>

#include "dsp/BandSplitter.h"

namespace dsp {

struct FilterBankEntry {
    const char* identifier;
    const char* displayName;
    BandSplitter* (*create)();
};

extern const std::array<FilterBankEntry, 12> kFilterBankList;

}  // namespace dsp
