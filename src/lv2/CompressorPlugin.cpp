#include "lv2/CompressorPlugin.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lv2 {

CompressorPlugin::CompressorPlugin(float sampleRate)
    : effect_(nullptr),
      controls_(describePorts(effect_.parameterList())),
      controlInputs_(controls_.size(), nullptr) {
    for (const ControlPort& port : controls_) controlValues_.push_back(port.defaultValue);
    effect_.setSampleRate(sampleRate);
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
    effect_.resetState();
}

// A control left unconnected reads as its default; NaN leaves the previous
// value; only a value that differs from the last one reaches the effect, so a
// host that resends every control each run changes nothing. However many
// controls changed, the effect reconfigures once.
void CompressorPlugin::readControls() {
    bool changed = false;
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const ControlPort& port = controls_[i];
        const float* input = controlInputs_[i];
        const float value = clampToPort(port, input != nullptr ? *input : port.defaultValue);
        if (std::isnan(value) || value == controlValues_[i]) continue;
        controlValues_[i] = value;
        effect_.stageParameter(port.control.index(),
                               port.control.positionFor(static_cast<double>(value)));
        changed = true;
    }
    if (changed) effect_.commitParameters();
}

void CompressorPlugin::run(std::uint32_t frames) {
    readControls();
    float lowest[kMeterCount] = {1.0f, 1.0f, 1.0f, 1.0f};
    if (inputs_[0] != nullptr && inputs_[1] != nullptr && outputs_[0] != nullptr &&
        outputs_[1] != nullptr) {
        // The effect's interface counts frames in a signed 32-bit number.
        constexpr std::uint32_t kLongestBlock = std::numeric_limits<std::int32_t>::max();
        for (std::uint32_t done = 0; done < frames;) {
            const std::uint32_t count = std::min(frames - done, kLongestBlock);
            // The effect reads both inputs of a frame before it writes either
            // output, so the buffers may be the same.
            float* inputs[2] = {const_cast<float*>(inputs_[0]) + done,
                                const_cast<float*>(inputs_[1]) + done};
            float* outputs[2] = {outputs_[0] + done, outputs_[1] + done};
            float gains[kMeterCount];
            effect_.processReplacingMetered(inputs, outputs, static_cast<std::int32_t>(count),
                                            gains);
            for (std::uint32_t band = 0; band < kMeterCount; ++band) {
                lowest[band] = std::min(lowest[band], gains[band]);
            }
            done += count;
        }
    }
    writeMeters(lowest);
}

// Gain reduction in dB: 0 at rest, negative while compressing. A gain that
// underflowed to 0 reads as the smallest normal float's level, not -inf.
void CompressorPlugin::writeMeters(const float* lowestGains) {
    for (std::uint32_t band = 0; band < kMeterCount; ++band) {
        const float gain = std::max(lowestGains[band], std::numeric_limits<float>::min());
        if (meters_[band] != nullptr) *meters_[band] = 20.0f * std::log10(gain);
    }
}

}  // namespace lv2
