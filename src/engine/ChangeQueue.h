// The parameter changes a face hands the engine with a block, in the face's
// own storage: the engine pulls them one at a time, so nothing is copied or
// allocated.
#pragma once

#include <cstdint>

#include "engine/ControlIds.h"

namespace engine {

struct Change {
    // The frame within the block where the value takes effect.
    std::int32_t frame = 0;
    ControlId id = 0;
    // The control's position; NaN is ignored, others are clamped to 0..1.
    double position = 0.0;
};

class ChangeQueue {
  public:
    // The earliest change not yet taken, left in place; false when none is left.
    virtual bool front(Change& change) = 0;
    // Takes the change front() gave.
    virtual void pop() = 0;

  protected:
    ~ChangeQueue() = default;
};

}  // namespace engine
