// One LV2 instance of the compressor: the engine plus the ports. Each run
// reads the control ports, hands every changed value to the engine as the
// position that shows it, at the run's first frame, and processes the audio
// ports connected for that run.
//
// Threads: instantiate and the destructor on a host thread; connectPort,
// activate and run on the audio thread (or any one thread at a time).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/ChangeQueue.h"
#include "engine/CompressorEngine.h"
#include "lv2/ControlPorts.h"
#include "lv2/PortLayout.h"

namespace lv2 {

class CompressorPlugin final {
  public:
    explicit CompressorPlugin(double sampleRate);

    void connectPort(std::uint32_t port, void* data);
    // Forgets the signal's history and starts as the enabled port says,
    // without a crossfade; allocates nothing.
    void activate();
    void run(std::uint32_t frames);

  private:
    // The changes of one run, all at its first frame.
    class RunChanges final : public engine::ChangeQueue {
      public:
        void clear() { count_ = taken_ = 0; }
        void add(engine::ControlId id, double position) {
            changes_[count_++] = engine::Change{0, id, position};
        }
        bool front(engine::Change& change) override;
        void pop() override { ++taken_; }

      private:
        std::array<engine::Change, engine::kParameterCount + 1> changes_{};
        std::size_t count_ = 0;
        std::size_t taken_ = 0;
    };

    void readControls();
    // The enabled port's value as a bypass position; NaN when there is none.
    float readEnabled();

    engine::CompressorEngine engine_;
    const std::vector<ControlPort> controls_;
    std::vector<const float*> controlInputs_;
    // The value each control was last given to the engine with, within range.
    std::vector<float> controlValues_;
    const float* enabledInput_ = nullptr;
    float enabledValue_ = 1.0f;
    RunChanges changes_;
    std::array<const float*, 2> inputs_{};
    std::array<float*, 2> outputs_{};
    std::array<float*, kMeterCount> meters_{};
};

}  // namespace lv2
