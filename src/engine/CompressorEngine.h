// The compressor as every face drives it: one effect, parameter changes by
// ID at frames within a block, the bypass with its crossfade, the four
// meters in dB and the saved state. A face only translates its interface to
// this.
//
// Threads: setSampleRate and reset while not processing; setPosition and the
// state functions from a host thread, also while process() runs on the audio
// thread (the effect's values are atomics, reconfigured under its lock; the
// bypass is an atomic). process() allocates nothing and takes the effect's
// lock once per part of the block. positionOf, bypassed and meterDb are safe
// from any thread.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "effect/CompressorEffect.h"
#include "engine/BypassFade.h"
#include "engine/ChangeQueue.h"
#include "engine/ControlTable.h"
#include "engine/PluginState.h"
#include "engine/StateRecord.h"

namespace engine {

class CompressorEngine final {
  public:
    CompressorEngine();

    const ControlTable& controls() const { return table_; }

    // The rate reaches the filters, the dynamics and the crossfade at once.
    void setSampleRate(double rate);
    // Forgets the signal's history like a new instance, settles the bypass.
    void reset();

    // A parameter or the bypass to a position, applied at once (a flush
    // outside processing, a host's main thread). NaN and unknown or read-only IDs change nothing;
    // others are clamped.
    void setPosition(ControlId id, double position);
    // A parameter's position as the effect reports it, the bypass 0 or 1,
    // a meter's position for its last reading; 0 for an unknown ID.
    double positionOf(ControlId id) const;
    bool bypassed() const { return bypass_.load(); }

    // Renders `frames` stereo frames; inputs and outputs may be the same
    // buffers. Each change takes effect at its frame: every change at or
    // before a frame is applied, then the effect reconfigures once; changes
    // at or past the end apply after the block. The compressor runs while
    // bypassed, so that it is warm when the bypass ends.
    void process(float* const* inputs, float* const* outputs, std::int32_t frames,
                 ChangeQueue* changes);

    // Each band's gain reduction in dB over the last block (0 at rest).
    double meterDb(std::size_t band) const { return meters_[band].load(); }

    PluginState state() const;
    // Applies a whole state at once; a position equal to the one the effect
    // reports leaves its setting as it is.
    void setState(const PluginState& state);
    // The state every control's default gives.
    PluginState defaultState() const;
    StateBytes saveState() const { return encodeState(state()); }
    // The state it applied; nothing, changing nothing, for data decodeState refuses.
    std::optional<PluginState> loadState(const std::uint8_t* data, std::size_t size);

  private:
    // Applies every change at or before `frame`; the frame of the next one.
    std::int32_t applyChangesUpTo(ChangeQueue* changes, std::int32_t frame);
    void processPart(float* const* inputs, float* const* outputs, std::int32_t frames);

    effect::CompressorEffect effect_;
    const ControlTable& table_;
    std::atomic<bool> bypass_{false};
    BypassFade fade_;
    // The compressed signal of a bypassed or crossfading part.
    std::array<std::vector<float>, 2> scratch_;
    std::array<float, kMeterCount> lowestGains_{};
    std::array<std::atomic<double>, kMeterCount> meters_{};
};

}  // namespace engine
