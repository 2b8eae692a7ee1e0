// The edits a face's window makes, on their way to the audio thread: a
// fixed ring of one writer (the GUI thread) and one reader (the thread that
// processes or flushes, one at a time as the interfaces assign them).
// Lock-free; nothing is allocated after construction.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "engine/ControlIds.h"

namespace engine {

struct Edit {
    enum class Kind : std::uint8_t { begin, perform, end };
    Kind kind = Kind::perform;
    ControlId id = 0;
    double position = 0.0;  // a perform's, 0..1
};

class EditQueue final {
  public:
    static constexpr std::size_t kCapacity = 256;

    // GUI thread. False when the reader is that far behind: the edit is lost.
    bool push(const Edit& edit) {
        const std::size_t tail = tail_.load(std::memory_order_relaxed);
        if (tail - head_.load(std::memory_order_acquire) == kCapacity) return false;
        edits_[tail % kCapacity] = edit;
        tail_.store(tail + 1, std::memory_order_release);
        return true;
    }

    // Reader. How many edits are there now; popping more than that may meet
    // edits made after this call.
    std::size_t available() const {
        return tail_.load(std::memory_order_acquire) - head_.load(std::memory_order_relaxed);
    }
    // Reader, at most available() times.
    Edit pop() {
        const std::size_t head = head_.load(std::memory_order_relaxed);
        const Edit edit = edits_[head % kCapacity];
        head_.store(head + 1, std::memory_order_release);
        return edit;
    }

  private:
    std::array<Edit, kCapacity> edits_{};
    std::atomic<std::size_t> head_{0};
    std::atomic<std::size_t> tail_{0};
};

}  // namespace engine
