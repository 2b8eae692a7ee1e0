#include "lv2/CompressorPlugin.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace lv2 {

CompressorPlugin::CompressorPlugin(double sampleRate)
    : controls_(describePorts()), controlInputs_(controls_.size(), nullptr) {
    for (const ControlPort& port : controls_) controlValues_.push_back(port.defaultValue);
    engine_.setSampleRate(sampleRate);
}

void CompressorPlugin::connectPort(std::uint32_t port, void* data) {
    auto* samples = static_cast<float*>(data);
    switch (port) {
        case kInputLeftPort:
        case kInputRightPort:
            inputs_[port - kInputLeftPort] = samples;
            return;
        case kOutputLeftPort:
        case kOutputRightPort:
            outputs_[port - kOutputLeftPort] = samples;
            return;
        case kEnabledPort:
            enabledInput_ = samples;
            return;
        default:
            break;
    }
    // Past the audio ports: the controls, then the meters; other indexes are ignored.
    const std::uint32_t index = port - kFirstControlPort;
    const auto controlCount = static_cast<std::uint32_t>(controls_.size());
    if (index < controlCount) {
        controlInputs_[index] = samples;
    } else if (index - controlCount < kMeterCount) {
        meters_[index - controlCount] = samples;
    }
}

void CompressorPlugin::activate() {
    engine_.setPosition(engine::kBypassId, static_cast<double>(readEnabled()));
    engine_.reset();
}

bool CompressorPlugin::RunChanges::front(engine::Change& change) {
    if (taken_ >= count_) return false;
    change = changes_[taken_];
    return true;
}

// An unconnected port reads as enabled; NaN leaves the previous value; only a
// change reaches the engine.
float CompressorPlugin::readEnabled() {
    const float value = enabledInput_ != nullptr ? *enabledInput_ : 1.0f;
    if (std::isnan(value) || value == enabledValue_) return std::numeric_limits<float>::quiet_NaN();
    enabledValue_ = value;
    return value > 0.0f ? 0.0f : 1.0f;
}

// A control left unconnected reads as its default; NaN leaves the previous
// value; only a value that differs from the last one reaches the engine, so a
// host that resends every control each run changes nothing. However many
// controls changed, the effect reconfigures once.
void CompressorPlugin::readControls() {
    changes_.clear();
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const ControlPort& port = controls_[i];
        const float* input = controlInputs_[i];
        const float value = clampToPort(port, input != nullptr ? *input : port.defaultValue);
        if (std::isnan(value) || value == controlValues_[i]) continue;
        controlValues_[i] = value;
        changes_.add(port.control.id(), port.control.positionFor(static_cast<double>(value)));
    }
    const float bypass = readEnabled();
    if (!std::isnan(bypass)) changes_.add(engine::kBypassId, static_cast<double>(bypass));
}

void CompressorPlugin::run(std::uint32_t frames) {
    readControls();
    const bool connected = inputs_[0] != nullptr && inputs_[1] != nullptr &&
                           outputs_[0] != nullptr && outputs_[1] != nullptr;
    // The engine counts frames in a signed 32-bit number.
    constexpr std::uint32_t kLongestBlock = std::numeric_limits<std::int32_t>::max();
    std::array<double, kMeterCount> deepest{};
    std::uint32_t done = 0;
    do {
        const std::uint32_t count = connected ? std::min(frames - done, kLongestBlock) : 0;
        // The engine reads both inputs of a frame before it writes either
        // output, so the buffers may be the same.
        float* inputs[2] = {const_cast<float*>(inputs_[0]) + done,
                            const_cast<float*>(inputs_[1]) + done};
        float* outputs[2] = {outputs_[0] + done, outputs_[1] + done};
        engine_.process(inputs, outputs, static_cast<std::int32_t>(count), &changes_);
        for (std::uint32_t band = 0; band < kMeterCount; ++band) {
            deepest[band] = std::min(deepest[band], engine_.meterDb(band));
        }
        done += count;
    } while (done < frames && connected);
    for (std::uint32_t band = 0; band < kMeterCount; ++band) {
        if (meters_[band] != nullptr) *meters_[band] = static_cast<float>(deepest[band]);
    }
}

}  // namespace lv2
