// The twelve selectable filter banks in choice order, with the identifier and
// display name each gets as a choice of the filter-bank parameter. create()
// returns a new bank that the caller owns and deletes.
#pragma once

#include <array>
#include <cstddef>
#include <tuple>
#include <utility>

#include "dsp/BandSplitter.h"
#include "dsp/CrossoverSections.h"
#include "dsp/FilterBanks.h"

namespace dsp {

struct FilterBankEntry {
    const char* identifier;
    const char* displayName;
    BandSplitter* (*create)();
};

// The concrete bank type of each entry, in the same order: the list's create
// functions are made from it, and visitFilterBank dispatches on it.
using FilterBankTypes =
    std::tuple<TesselBankA, TesselBankB, PeelUpBank<Lowpass6A>, PeelDownBank<Lowpass6A>,
               PeelUpBank<Lowpass6B>, PeelDownBank<Lowpass6B>, PeelUpBank<Allpass6>,
               PeelDownBank<Allpass6>, PeelUpBank<Lowpass12>, PeelDownBank<Lowpass12>,
               PeelUpBank<Lowpass18>, PeelDownBank<Lowpass18>>;

constexpr std::size_t kFilterBankCount = std::tuple_size_v<FilterBankTypes>;

extern const std::array<FilterBankEntry, kFilterBankCount> kFilterBankList;

namespace detail {

template <class Visitor, std::size_t... Index>
void visitFilterBankAt(std::size_t index, BandSplitter& bank, Visitor& visit,
                       std::index_sequence<Index...>) {
    static_cast<void>(
        ((index == Index &&
          (visit(static_cast<std::tuple_element_t<Index, FilterBankTypes>&>(bank)), true)) ||
         ...));
}

}  // namespace detail

// Calls visit with bank as the concrete type that entry index creates, so the
// per-sample calls inside visit are direct and can be inlined. bank must have
// been made by kFilterBankList[index].create; an index beyond the list calls
// nothing.
template <class Visitor>
void visitFilterBank(std::size_t index, BandSplitter& bank, Visitor&& visit) {
    detail::visitFilterBankAt(index, bank, visit, std::make_index_sequence<kFilterBankCount>{});
}

}  // namespace dsp
