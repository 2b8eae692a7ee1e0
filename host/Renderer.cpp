#include "Renderer.h"

#include <algorithm>
#include <vector>

#include "BlockBuffers.h"
#include "FpuState.h"
#include "HostError.h"
#include "Vst2Plugin.h"

namespace host {

AudioBuffer render(Plugin& plugin, std::int32_t maxBlock, const AudioBuffer& input,
                   const RenderOptions& options, ProgressBar* progress, MeterLog* meters) {
    if (input.channelCount() > 2) {
        throw HostError("the input has " + std::to_string(input.channelCount()) +
                        " channels; the host renders mono or stereo only");
    }
    if (options.blockSize < 1 || options.blockSize > maxBlock) {
        throw HostError("block size " + std::to_string(options.blockSize) + " is outside 1.." +
                        std::to_string(maxBlock));
    }
    if (plugin.outputs() < 1) throw HostError("the plug-in has no audio outputs");
    if (plugin.inputs() < 0 || plugin.outputs() > 64 || plugin.inputs() > 64) {
        throw HostError("the plug-in reports implausible channel counts");
    }
    if (options.accumulate && !plugin.canAccumulate()) {
        throw HostError("the plug-in has no accumulating process entry");
    }
    plugin.setAccumulating(options.accumulate);
    std::vector<TimedChange> changes = options.changes;
    std::stable_sort(changes.begin(), changes.end(),
                     [](const TimedChange& a, const TimedChange& b) { return a.frame < b.frame; });

    plugin.activate();
    // Read once active: plug-ins may settle their latency then.
    const std::int64_t latency = std::max(0, plugin.latency());
    BlockBuffers buffers(plugin.inputs(), plugin.outputs(), options.blockSize);

    AudioBuffer output;
    output.sampleRate = input.sampleRate;
    const std::size_t outputChannels = std::min<std::size_t>(2, buffers.outputCount());
    output.channels.assign(outputChannels, std::vector<float>(input.frames()));

    const auto total = static_cast<std::int64_t>(input.frames()) + latency;
    auto change = changes.begin();
    FpuState::processDefault().restore();
    for (std::int64_t start = 0; start < total;) {
        for (; change != changes.end() && change->frame <= start; ++change) {
            plugin.setValue(change->parameter, change->value);
        }
        std::int64_t end = std::min<std::int64_t>(start + options.blockSize, total);
        if (change != changes.end()) end = std::min(end, change->frame);
        const auto frames = static_cast<std::int32_t>(end - start);
        buffers.loadInputs(input, start, frames);
        // The dry signal for accumulating, delayed by the latency so that it
        // lines up with the effect's output.
        buffers.loadOutputs(options.accumulate ? &input : nullptr, start - latency, frames);
        plugin.process(buffers.inputPointers(), buffers.outputPointers(), frames);
        if (meters != nullptr) meters->record(start, frames, plugin);
        for (std::size_t c = 0; c < outputChannels; ++c) {
            for (std::int32_t i = 0; i < frames; ++i) {
                const std::int64_t frame = start + i - latency;
                if (frame >= 0) {
                    output.channels[c][static_cast<std::size_t>(frame)] =
                        buffers.output(c)[static_cast<std::size_t>(i)];
                }
            }
        }
        start = end;
        if (progress != nullptr)
            progress->update(static_cast<double>(start) / static_cast<double>(total));
    }
    plugin.deactivate();
    return output;
}

AudioBuffer render(PluginInstance& plugin, const AudioBuffer& input, const RenderOptions& options,
                   ProgressBar* progress) {
    Vst2Plugin view(plugin);
    return render(view, plugin.maxBlockSize(), input, options, progress);
}

}  // namespace host
