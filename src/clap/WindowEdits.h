// The window's edits a block takes: those made before it, at its first frame,
// ahead of the host's own events. Each is reported to the host as it is
// taken, in the block's output events: gesture begin, value (shown units),
// gesture end.
//
// Threads: the audio thread (or the main thread while inactive); allocates nothing.
#pragma once

#include <cstddef>

#include "clap/ClapInterfaces.h"
#include "engine/ChangeQueue.h"
#include "engine/ControlTable.h"
#include "engine/EditQueue.h"

namespace clap {

class WindowEdits final : public engine::ChangeQueue {
  public:
    WindowEdits(engine::EditQueue& edits, const engine::ControlTable& table,
                const clap_output_events* out, engine::ChangeQueue& hostEvents);

    bool front(engine::Change& change) override;
    void pop() override;

  private:
    void report(const engine::Edit& edit) const;

    engine::EditQueue& edits_;
    const engine::ControlTable& table_;
    const clap_output_events* out_;
    engine::ChangeQueue& hostEvents_;
    std::size_t left_;
    bool holding_ = false;
    engine::Edit held_;
};

}  // namespace clap
