// A plug-in's audio buffers for one block, allocated once, and the mapping of
// a mono or stereo signal onto the plug-in's inputs: a mono signal feeds every
// main input, a stereo one inputs 0 and 1; further inputs (side chains) get
// silence.
#pragma once

#include <cstdint>
#include <vector>

#include "AudioBuffer.h"

namespace host {

class BlockBuffers final {
  public:
    BlockBuffers(std::int32_t inputs, std::int32_t outputs, std::int32_t blockSize);

    // Copies frames [start, start + frames) of the signal into the inputs;
    // positions outside the signal read as silence.
    void loadInputs(const AudioBuffer& signal, std::int64_t start, std::int32_t frames);
    // Fills the outputs with the same mapping (the dry signal for accumulating
    // processing) or, with a null signal, with silence.
    void loadOutputs(const AudioBuffer* signal, std::int64_t start, std::int32_t frames);

    const std::vector<float>& output(std::size_t channel) const { return outputs_[channel]; }
    std::size_t outputCount() const { return outputs_.size(); }
    float** inputPointers() { return inputPointers_.data(); }
    float** outputPointers() { return outputPointers_.data(); }

  private:
    static void load(std::vector<std::vector<float>>& channels, const AudioBuffer* signal,
                     std::int64_t start, std::int32_t frames);

    std::vector<std::vector<float>> inputs_;
    std::vector<std::vector<float>> outputs_;
    std::vector<float*> inputPointers_;
    std::vector<float*> outputPointers_;
};

}  // namespace host
