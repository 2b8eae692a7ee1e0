#include "vst3/PointQueues.h"

#include <limits>
#include <optional>

namespace vst3 {

void PointQueues::collect(IParameterChanges* changes) {
    for (std::size_t i = 0; i < filledCount_; ++i) *filled_[i] = Lane{};
    filledCount_ = 0;
    program_ = Lane{};
    programStep_ = 0;
    programTaken_ = false;
    const int32 queues = changes != nullptr ? changes->getParameterCount() : 0;
    for (int32 i = 0; i < queues; ++i) {
        IParamValueQueue* queue = changes->getParameterData(i);
        if (queue == nullptr) continue;
        const ParamID id = queue->getParameterId();
        const int32 slot = slotOf(id);
        if (slot < 0 && id != kProgramChangeId) continue;
        Lane& lane = slot < 0 ? program_ : lanes_[static_cast<std::size_t>(slot)];
        if (lane.queue != nullptr) continue;
        lane = Lane{queue, 0, queue->getPointCount(), {}};
        lane.head.id = queue->getParameterId();
        readHead(lane);
        if (&lane != &program_) filled_[filledCount_++] = &lane;
    }
}

void PointQueues::readHead(Lane& lane) {
    if (lane.next >= lane.count) return;
    int32 offset = 0;
    ParamValue value = 0.0;
    if (lane.queue->getPoint(lane.next, offset, value) != kResultOk) {
        lane.next = lane.count;
        return;
    }
    lane.head.frame = offset;
    lane.head.position = value;
}

// The program lane wins a tie: a parameter's own point at the same frame
// goes on top of the program.
PointQueues::Lane* PointQueues::earliest() {
    Lane* found = program_.queue != nullptr && program_.next < program_.count ? &program_ : nullptr;
    for (std::size_t i = 0; i < filledCount_; ++i) {
        Lane* lane = filled_[i];
        if (lane->next >= lane->count) continue;
        if (found == nullptr || lane->head.frame < found->head.frame) found = lane;
    }
    return found;
}

bool PointQueues::front(engine::Change& change) {
    const Lane* lane = earliest();
    if (lane == nullptr) return false;
    if (lane != &program_) {
        change = lane->head;
        return true;
    }
    // A NaN selects no program; its changes are NaN too, which the engine ignores.
    const std::optional<std::size_t> program = programs_.programAt(lane->head.position);
    change.frame = lane->head.frame;
    change.id = static_cast<engine::ControlId>(programStep_);
    change.position = program
                          ? static_cast<double>(programs_.state(*program).positions[programStep_])
                          : std::numeric_limits<double>::quiet_NaN();
    return true;
}

void PointQueues::pop() {
    Lane* lane = earliest();
    if (lane == nullptr) return;
    if (lane == &program_) {
        programTaken_ = programTaken_ || programs_.programAt(lane->head.position).has_value();
        if (++programStep_ < engine::kParameterCount) return;
        programStep_ = 0;
    }
    ++lane->next;
    readHead(*lane);
}

}  // namespace vst3
