#pragma once

#include <cstddef>
#include <string>
#include <utility>

#include "params/Parameter.h"

namespace params {

// What every choice parameter offers whatever the type of its keys: the list of display names in
// position order, so that other descriptions of the parameter (a plug-in format's port list) can
// be written from it.
//
// Threads: as ChoiceParameter; the list is fixed between construction and tear-down.
class ChoiceParameterBase : public Parameter {
  public:
    ChoiceParameterBase(ParameterList* list, std::string identifier, std::string displayName,
                        std::string unitLabel)
        : Parameter(list, std::move(identifier), std::move(displayName), std::move(unitLabel)) {}

    virtual std::size_t choiceCount() const = 0;
    // Empty for an index out of range.
    virtual std::string choiceDisplayName(std::size_t index) const = 0;
};

}  // namespace params
