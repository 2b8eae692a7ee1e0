#include "vst3/PointQueues.h"

namespace vst3 {

void PointQueues::collect(IParameterChanges* changes) {
    for (std::size_t i = 0; i < filledCount_; ++i) *filled_[i] = Lane{};
    filledCount_ = 0;
    const int32 queues = changes != nullptr ? changes->getParameterCount() : 0;
    for (int32 i = 0; i < queues; ++i) {
        IParamValueQueue* queue = changes->getParameterData(i);
        if (queue == nullptr) continue;
        const int32 slot = slotOf(queue->getParameterId());
        if (slot < 0) continue;
        Lane& lane = lanes_[static_cast<std::size_t>(slot)];
        if (lane.queue != nullptr) continue;
        lane = Lane{queue, 0, queue->getPointCount(), {}};
        lane.head.id = queue->getParameterId();
        readHead(lane);
        filled_[filledCount_++] = &lane;
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

PointQueues::Lane* PointQueues::earliest() {
    Lane* found = nullptr;
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
    change = lane->head;
    return true;
}

void PointQueues::pop() {
    Lane* lane = earliest();
    if (lane == nullptr) return;
    ++lane->next;
    readHead(*lane);
}

}  // namespace vst3
