#include "engine/CompressorEngine.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "effect/ProductInfo.h"

namespace engine {

namespace {

// The compressed signal of a bypassed or crossfading part goes here, in
// pieces of at most this many frames, so that process() never allocates.
constexpr std::size_t kScratchFrames = 4096;
constexpr std::int32_t kNoChange = std::numeric_limits<std::int32_t>::max();

}  // namespace

CompressorEngine::CompressorEngine() : effect_(nullptr), table_(ControlTable::instance()) {
    for (auto& channel : scratch_) channel.assign(kScratchFrames, 0.0f);
    for (auto& meter : meters_) meter = 0.0;
}

void CompressorEngine::setSampleRate(double rate) {
    effect_.setSampleRate(static_cast<float>(rate));
    fade_.setSampleRate(rate);
}

void CompressorEngine::reset() {
    effect_.resetState();
    fade_.setBypassed(bypass_.load());
    fade_.settle();
}

void CompressorEngine::setPosition(ControlId id, double position) {
    if (std::isnan(position)) return;
    position = std::clamp(position, 0.0, 1.0);
    if (isParameter(id)) {
        effect_.stageParameter(static_cast<std::int32_t>(id), static_cast<float>(position));
        effect_.commitParameters();
    } else if (id == kBypassId) {
        bypass_ = position >= 0.5;
    }
}

double CompressorEngine::positionOf(ControlId id) const {
    if (isParameter(id)) {
        // As the effect's getParameter reports it: the float the host sees.
        return static_cast<double>(static_cast<float>(
            effect_.parameterList().normalisedValue(static_cast<std::int32_t>(id))));
    }
    if (id == kBypassId) return bypass_.load() ? 1.0 : 0.0;
    if (isMeter(id))
        return table_.meter(id - kFirstMeterId).positionFor(meterDb(id - kFirstMeterId));
    return 0.0;
}

// Splits the block at every change: the values of a change take effect at
// its frame, each part is one effect call (one lock).
void CompressorEngine::process(float* const* inputs, float* const* outputs, std::int32_t frames,
                               ChangeQueue* changes) {
    fade_.setBypassed(bypass_.load());
    lowestGains_.fill(1.0f);
    frames = std::max(frames, std::int32_t{0});
    for (std::int32_t at = 0;;) {
        const std::int32_t next = applyChangesUpTo(changes, at);
        if (at >= frames) break;
        const std::int32_t end = std::min(next, frames);
        float* partInputs[2] = {inputs[0] + at, inputs[1] + at};
        float* partOutputs[2] = {outputs[0] + at, outputs[1] + at};
        processPart(partInputs, partOutputs, end - at);
        at = end;
    }
    applyChangesUpTo(changes, kNoChange);
    // A block of no frames (a flush of changes) measured nothing: the meters keep their reading.
    if (frames == 0) return;
    for (std::size_t band = 0; band < kMeterCount; ++band) {
        meters_[band] = gainReductionDb(lowestGains_[band]);
    }
}

std::int32_t CompressorEngine::applyChangesUpTo(ChangeQueue* changes, std::int32_t frame) {
    if (changes == nullptr) return kNoChange;
    bool staged = false;
    Change change;
    std::int32_t next = kNoChange;
    while (changes->front(change)) {
        if (change.frame > frame) {
            next = change.frame;
            break;
        }
        changes->pop();
        if (std::isnan(change.position)) continue;
        const double position = std::clamp(change.position, 0.0, 1.0);
        if (isParameter(change.id)) {
            // The float the host sees as the value.
            effect_.stageParameter(static_cast<std::int32_t>(change.id),
                                   static_cast<float>(position));
            staged = true;
        } else if (change.id == kBypassId) {
            bypass_ = position >= 0.5;
            fade_.setBypassed(position >= 0.5);
        }
    }
    if (staged) effect_.commitParameters();
    return next;
}

// The compressor runs whatever the bypass, so that it stays warm.
void CompressorEngine::processPart(float* const* inputs, float* const* outputs,
                                   std::int32_t frames) {
    float gains[kMeterCount];
    const auto noteGains = [&]() {
        for (std::size_t band = 0; band < kMeterCount; ++band) {
            lowestGains_[band] = std::min(lowestGains_[band], gains[band]);
        }
    };
    if (fade_.compressing()) {
        effect_.processReplacingMetered(const_cast<float**>(inputs), const_cast<float**>(outputs),
                                        frames, gains);
        noteGains();
        return;
    }
    for (std::int32_t done = 0; done < frames;) {
        const auto count = std::min(frames - done, static_cast<std::int32_t>(kScratchFrames));
        float* in[2] = {inputs[0] + done, inputs[1] + done};
        float* out[2] = {outputs[0] + done, outputs[1] + done};
        float* compressed[2] = {scratch_[0].data(), scratch_[1].data()};
        effect_.processReplacingMetered(in, compressed, count, gains);
        noteGains();
        fade_.mix(in, compressed, out, count);
        done += count;
    }
}

PluginState CompressorEngine::state() const {
    PluginState state;
    for (std::size_t i = 0; i < kParameterCount; ++i) {
        state.positions[i] = static_cast<float>(positionOf(static_cast<ControlId>(i)));
    }
    state.bypass = bypass_.load();
    return state;
}

void CompressorEngine::setState(const PluginState& state) {
    for (std::size_t i = 0; i < kParameterCount; ++i) {
        effect_.stageParameter(static_cast<std::int32_t>(i), state.positions[i]);
    }
    effect_.commitParameters();
    bypass_ = state.bypass;
}

PluginState CompressorEngine::defaultState() const {
    PluginState state;
    for (std::size_t i = 0; i < kParameterCount; ++i) {
        state.positions[i] = static_cast<float>(table_.parameter(i).defaultPosition());
    }
    return state;
}

std::optional<PluginState> CompressorEngine::loadState(const std::uint8_t* data, std::size_t size) {
    const std::optional<PluginState> loaded =
        decodeState(data, size, effect::product::kUniqueId, defaultState());
    if (loaded) setState(*loaded);
    return loaded;
}

}  // namespace engine
