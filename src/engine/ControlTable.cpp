#include "engine/ControlTable.h"

#include "effect/CompressorEffect.h"

namespace engine {

const ControlTable& ControlTable::instance() {
    static const ControlTable table;
    return table;
}

// The parameters' descriptions come from an effect made for the purpose;
// they keep nothing of it.
ControlTable::ControlTable() {
    const effect::CompressorEffect effect(nullptr);
    rows_.reserve(kControlCount);
    for (effect::ControlDescription& description :
         effect::describeControls(effect.parameterList())) {
        rows_.push_back(Control::parameter(std::move(description)));
    }
    rows_.push_back(Control::bypass());
    for (std::size_t band = 0; band < kMeterCount; ++band) rows_.push_back(Control::meter(band));
}

const Control* ControlTable::find(ControlId id) const {
    if (isParameter(id)) return &rows_[id];
    if (id == kBypassId) return &bypass();
    if (isMeter(id)) return &meter(id - kFirstMeterId);
    return nullptr;
}

const Control* ControlTable::findSymbol(std::string_view symbol) const {
    for (const Control& row : rows_) {
        if (row.symbol() == symbol) return &row;
    }
    return nullptr;
}

}  // namespace engine
