// A block's input events as the engine takes parameter changes: only
// parameter values of the core space for a parameter or the bypass, in shown
// units turned into positions. Anything else is skipped: other types and
// spaces, records too small for a value, unknown or read-only IDs, NaN.
// Values outside a parameter's range count as its nearer end; an event
// earlier than the one before it takes effect at that one's frame, and the
// engine applies events at or past the block's end after the block.
//
// Threads: the audio thread (or the main thread while inactive); reads the
// host's list in place and allocates nothing.
#pragma once

#include <cstdint>

#include "clap/ClapInterfaces.h"
#include "engine/ChangeQueue.h"
#include "engine/ControlTable.h"

namespace clap {

class EventQueue final : public engine::ChangeQueue {
  public:
    EventQueue(const engine::ControlTable& table, const clap_input_events* events);

    bool front(engine::Change& change) override;
    void pop() override;

  private:
    // The change the event at `index` makes, if it is one.
    bool changeAt(std::uint32_t index, engine::Change& change) const;

    const engine::ControlTable& table_;
    const clap_input_events* events_;
    std::uint32_t count_ = 0;
    std::uint32_t next_ = 0;
    std::int32_t lastFrame_ = 0;
};

}  // namespace clap
