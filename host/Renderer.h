// Runs audio through a plug-in offline, block by block, as a DAW's export does.
#pragma once

#include <cstdint>
#include <vector>

#include "AudioBuffer.h"
#include "MeterLog.h"
#include "Plugin.h"
#include "PluginInstance.h"
#include "ProgressBar.h"

namespace host {

// A parameter change at a frame of the input.
struct TimedChange {
    std::int64_t frame;
    std::size_t parameter;
    double value;
};

struct RenderOptions {
    std::int32_t blockSize = 512;  // at most the plug-in instance's maximum
    // Use the accumulating entry on output buffers that already hold the
    // input: the result is the dry signal plus the plug-in's output.
    bool accumulate = false;
    // Applied sample-accurately: a block is split at each change's frame.
    std::vector<TimedChange> changes = {};
};

// A mono input feeds every plug-in input; a stereo input feeds inputs 0 and 1;
// further inputs (side chains) get silence. The result has the input's length
// and sample rate and one or two channels (the plug-in's first outputs). The
// plug-in's reported latency is compensated: the output is aligned with the
// input. When a meter log is given, it gets the plug-in's read-only outputs
// after every processing call. Throws HostError when the plug-in cannot do
// what is asked.
AudioBuffer render(Plugin& plugin, std::int32_t maxBlock, const AudioBuffer& input,
                   const RenderOptions& options, ProgressBar* progress = nullptr,
                   MeterLog* meters = nullptr);
// The same through a VST 2 instance already open.
AudioBuffer render(PluginInstance& plugin, const AudioBuffer& input, const RenderOptions& options,
                   ProgressBar* progress = nullptr);

}  // namespace host
