// One LV2 instance of the compressor: the effect, driven as a VST 2 host
// drives it, plus the ports. Each run reads the control ports, hands every
// changed value to the effect as the parameter position that shows it, and
// processes the audio ports connected for that run.
//
// Threads: instantiate and the destructor on a host thread; connectPort,
// activate and run on the audio thread (or any one thread at a time).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "effect/CompressorEffect.h"
#include "lv2/ControlPorts.h"
#include "lv2/PortLayout.h"

namespace lv2 {

class CompressorPlugin final {
  public:
    explicit CompressorPlugin(float sampleRate);

    void connectPort(std::uint32_t port, void* data);
    // Forgets the signal's history; allocates nothing.
    void activate();
    void run(std::uint32_t frames);

  private:
    void readControls();
    void writeMeters(const float* lowestGains);

    effect::CompressorEffect effect_;
    const std::vector<ControlPort> controls_;
    std::vector<const float*> controlInputs_;
    // The value each control was last given to the effect with, within range.
    std::vector<float> controlValues_;
    std::array<const float*, 2> inputs_{};
    std::array<float*, 2> outputs_{};
    std::array<float*, kMeterCount> meters_{};
};

}  // namespace lv2
