#include "BlockBuffers.h"

namespace host {

namespace {

float signalSample(const AudioBuffer& signal, std::size_t pluginChannel, std::int64_t frame) {
    if (frame < 0 || static_cast<std::size_t>(frame) >= signal.frames()) return 0.0f;
    const std::size_t source = signal.channelCount() == 1 ? 0 : pluginChannel;
    if (pluginChannel >= 2 || source >= signal.channelCount()) return 0.0f;
    return signal.channels[source][static_cast<std::size_t>(frame)];
}

}  // namespace

BlockBuffers::BlockBuffers(std::int32_t inputs, std::int32_t outputs, std::int32_t blockSize)
    : inputs_(static_cast<std::size_t>(inputs),
              std::vector<float>(static_cast<std::size_t>(blockSize))),
      outputs_(static_cast<std::size_t>(outputs),
               std::vector<float>(static_cast<std::size_t>(blockSize))) {
    for (auto& channel : inputs_) inputPointers_.push_back(channel.data());
    for (auto& channel : outputs_) outputPointers_.push_back(channel.data());
    // Never hand a plug-in a null array, even when it has no channels.
    inputPointers_.push_back(nullptr);
    outputPointers_.push_back(nullptr);
}

void BlockBuffers::loadInputs(const AudioBuffer& signal, std::int64_t start, std::int32_t frames) {
    load(inputs_, &signal, start, frames);
}

void BlockBuffers::loadOutputs(const AudioBuffer* signal, std::int64_t start, std::int32_t frames) {
    load(outputs_, signal, start, frames);
}

void BlockBuffers::load(std::vector<std::vector<float>>& channels, const AudioBuffer* signal,
                        std::int64_t start, std::int32_t frames) {
    for (std::size_t c = 0; c < channels.size(); ++c) {
        float* out = channels[c].data();
        for (std::int32_t i = 0; i < frames; ++i) {
            out[i] = signal != nullptr ? signalSample(*signal, c, start + i) : 0.0f;
        }
    }
}

}  // namespace host
