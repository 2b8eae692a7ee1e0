#include "Renderer.h"

#include <algorithm>
#include <vector>

#include "BlockBuffers.h"
#include "FpuState.h"
#include "HostError.h"

namespace host {

AudioBuffer render(PluginInstance& plugin, const AudioBuffer& input, const RenderOptions& options,
                   ProgressBar* progress) {
    if (input.channelCount() > 2) {
        throw HostError("the input has " + std::to_string(input.channelCount()) +
                        " channels; the host renders mono or stereo only");
    }
    if (options.blockSize < 1 || options.blockSize > plugin.maxBlockSize()) {
        throw HostError("block size " + std::to_string(options.blockSize) + " is outside 1.." +
                        std::to_string(plugin.maxBlockSize()));
    }
    if (plugin.numOutputs() < 1) throw HostError("the plug-in has no audio outputs");
    if (plugin.numInputs() < 0 || plugin.numOutputs() > 64 || plugin.numInputs() > 64) {
        throw HostError("the plug-in reports implausible channel counts");
    }
    const bool useReplacing = !options.accumulate && plugin.canReplace();
    if (!useReplacing && !plugin.hasAccumulatingProcess()) {
        throw HostError(options.accumulate ? "the plug-in has no accumulating process entry"
                                           : "the plug-in offers no process entry");
    }

    ProcessingSession session(plugin);
    // Read after resume: plug-ins may settle their latency there.
    const std::int64_t latency = std::max(0, plugin.initialDelay());
    BlockBuffers buffers(plugin.numInputs(), plugin.numOutputs(), options.blockSize);

    AudioBuffer output;
    output.sampleRate = input.sampleRate;
    const std::size_t outputChannels = std::min<std::size_t>(2, buffers.outputCount());
    output.channels.assign(outputChannels, std::vector<float>(input.frames()));

    const auto total = static_cast<std::int64_t>(input.frames()) + latency;
    FpuState::processDefault().restore();
    for (std::int64_t start = 0; start < total; start += options.blockSize) {
        const auto frames =
            static_cast<std::int32_t>(std::min<std::int64_t>(options.blockSize, total - start));
        buffers.loadInputs(input, start, frames);
        // The dry signal for accumulating, delayed by the latency so that it
        // lines up with the effect's output.
        buffers.loadOutputs(options.accumulate ? &input : nullptr, start - latency, frames);
        if (useReplacing) {
            plugin.processReplacing(buffers.inputPointers(), buffers.outputPointers(), frames);
        } else {
            plugin.processAccumulating(buffers.inputPointers(), buffers.outputPointers(), frames);
        }
        for (std::size_t c = 0; c < outputChannels; ++c) {
            for (std::int32_t i = 0; i < frames; ++i) {
                const std::int64_t frame = start + i - latency;
                if (frame >= 0) {
                    output.channels[c][static_cast<std::size_t>(frame)] =
                        buffers.output(c)[static_cast<std::size_t>(i)];
                }
            }
        }
        if (progress != nullptr)
            progress->update(static_cast<double>(start + frames) / static_cast<double>(total));
    }
    return output;
}

}  // namespace host
