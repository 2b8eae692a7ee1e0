#pragma once

#include <array>
#include <cstddef>

#include "engine/ChangeQueue.h"
#include "vst3/ProgramList.h"
#include "vst3/Vst3Interfaces.h"

namespace vst3 {

// The controls a host sends values for, each in a slot of its own: the
// parameters at their IDs, then the bypass.
inline constexpr std::size_t kControlSlots = engine::kParameterCount + 1;

// A control's slot; -1 for an ID that takes no values.
inline int32 slotOf(ParamID id) {
    if (engine::isParameter(id)) return static_cast<int32>(id);
    return id == engine::kBypassId ? static_cast<int32>(engine::kParameterCount) : -1;
}

// The host's queues of one block as the engine takes them: the earliest
// point of any queue first, each queue's points in its own order. A program
// change's point is taken as every parameter's change to the program's
// position at its frame, before the other points of that frame.
class PointQueues final : public engine::ChangeQueue {
  public:
    explicit PointQueues(const ProgramList& programs) : programs_(programs) {}

    // The first queue of each control the processor takes; others are ignored.
    void collect(IParameterChanges* changes);
    bool front(engine::Change& change) override;
    void pop() override;
    // A program was taken since the last collect().
    bool programTaken() const { return programTaken_; }

  private:
    struct Lane {
        IParamValueQueue* queue;
        int32 next;
        int32 count;
        // The point at `next`, read once.
        engine::Change head;
    };
    // Reads the lane's next point; a point the queue fails to give ends the lane.
    static void readHead(Lane& lane);
    Lane* earliest();

    const ProgramList& programs_;
    std::array<Lane, kControlSlots> lanes_{};
    // The lanes this block's queues filled, so that a block without points costs nothing.
    std::array<Lane*, kControlSlots> filled_{};
    std::size_t filledCount_ = 0;
    Lane program_{};
    // The parameter the program lane's point is taken for next.
    std::size_t programStep_ = 0;
    bool programTaken_ = false;
};

}  // namespace vst3
