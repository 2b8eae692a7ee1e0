#include "clap/WindowEdits.h"

namespace clap {

WindowEdits::WindowEdits(engine::EditQueue& edits, const engine::ControlTable& table,
                         const clap_output_events* out, engine::ChangeQueue& hostEvents)
    : edits_(edits), table_(table), out_(out), hostEvents_(hostEvents),
      left_(edits.available()) {}

// Gesture begins and ends change nothing: they are reported on the way to
// the next value.
bool WindowEdits::front(engine::Change& change) {
    while (!holding_ && left_ > 0) {
        held_ = edits_.pop();
        --left_;
        report(held_);
        holding_ = held_.kind == engine::Edit::Kind::perform;
    }
    if (!holding_) return hostEvents_.front(change);
    change = engine::Change{0, held_.id, held_.position};
    return true;
}

void WindowEdits::pop() {
    if (holding_) {
        holding_ = false;
    } else {
        hostEvents_.pop();
    }
}

void WindowEdits::report(const engine::Edit& edit) const {
    const engine::Control* control = table_.find(edit.id);
    if (out_ == nullptr || out_->try_push == nullptr || control == nullptr) return;
    if (edit.kind == engine::Edit::Kind::perform) {
        clap_event_param_value event{};
        event.header = {sizeof event, 0, kCoreEventSpace, kEventParamValue, 0};
        event.param_id = edit.id;
        event.note_id = -1;
        event.port_index = -1;
        event.channel = -1;
        event.key = -1;
        event.value = control->shownAt(edit.position);
        out_->try_push(out_, &event.header);
        return;
    }
    clap_event_param_gesture event{};
    const std::uint16_t type = edit.kind == engine::Edit::Kind::begin ? kEventParamGestureBegin
                                                                      : kEventParamGestureEnd;
    event.header = {sizeof event, 0, kCoreEventSpace, type, 0};
    event.param_id = edit.id;
    out_->try_push(out_, &event.header);
}

}  // namespace clap
