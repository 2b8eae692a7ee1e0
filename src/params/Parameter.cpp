#include "params/Parameter.h"

#include <utility>

#include "params/ParameterList.h"

namespace params {

Parameter::Parameter(ParameterList* list, std::string identifier, std::string displayName,
                     std::string unitLabel)
    : identifier_(std::move(identifier)),
      displayName_(std::move(displayName)),
      unitLabel_(std::move(unitLabel)) {
    if (list != nullptr) list->add(this);
    markChanged();
}

Parameter::~Parameter() = default;

std::string Parameter::identifier() const {
    return identifier_;
}

std::string Parameter::displayName() const {
    return displayName_;
}

std::string Parameter::unitLabel() const {
    return unitLabel_;
}

bool Parameter::isChanged() const {
    return changed_.load(std::memory_order_relaxed);
}

void Parameter::setChanged(bool changed) {
    changed_.store(changed, std::memory_order_release);
}

}  // namespace params
