// Every control of the plug-in as data, in the order faces list them: the
// twenty parameters (ID = VST 2 index), the bypass, the four meters. The
// faces' parameter lists and the LV2 Turtle are produced from it.
//
// Threads: built once, then only read; safe from any thread.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

#include "engine/Control.h"
#include "engine/ControlIds.h"

namespace engine {

class ControlTable final {
  public:
    // The one table, built on first use.
    static const ControlTable& instance();

    std::size_t size() const { return rows_.size(); }
    // The row listed at an index: parameters, bypass, meters.
    const Control& at(std::size_t index) const { return rows_[index]; }
    // The row of an ID or of a symbol; nullptr for an unknown one.
    const Control* find(ControlId id) const;
    const Control* findSymbol(std::string_view symbol) const;
    const Control& parameter(std::size_t index) const { return rows_[index]; }
    const Control& bypass() const { return rows_[kParameterCount]; }
    const Control& meter(std::size_t band) const { return rows_[kParameterCount + 1 + band]; }

    auto begin() const { return rows_.begin(); }
    auto end() const { return rows_.end(); }

  private:
    ControlTable();

    std::vector<Control> rows_;
};

}  // namespace engine
