#include "clap/EventQueue.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace clap {

EventQueue::EventQueue(const engine::ControlTable& table, const clap_input_events* events)
    : table_(table), events_(events) {
    if (events_ != nullptr && events_->size != nullptr && events_->get != nullptr) {
        count_ = events_->size(events_);
    }
}

bool EventQueue::front(engine::Change& change) {
    for (; next_ < count_; ++next_) {
        if (changeAt(next_, change)) {
            change.frame = std::max(change.frame, lastFrame_);
            lastFrame_ = change.frame;
            return true;
        }
    }
    return false;
}

void EventQueue::pop() {
    if (next_ < count_) ++next_;
}

bool EventQueue::changeAt(std::uint32_t index, engine::Change& change) const {
    const clap_event_header* header = events_->get(events_, index);
    if (header == nullptr || header->space_id != kCoreEventSpace ||
        header->type != kEventParamValue || header->size < sizeof(clap_event_param_value)) {
        return false;
    }
    const auto* event = reinterpret_cast<const clap_event_param_value*>(header);
    const engine::Control* control = table_.find(event->param_id);
    if (control == nullptr || control->readOnly() || std::isnan(event->value)) return false;
    change.frame = static_cast<std::int32_t>(
        std::min<std::uint32_t>(header->time, std::numeric_limits<std::int32_t>::max()));
    change.id = event->param_id;
    change.position = control->positionFor(event->value);
    return true;
}

}  // namespace clap
