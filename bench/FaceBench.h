// What the benchmarks of the plug-in's faces share: blocks of 512 frames of
// the music-like signal at 48 kHz after the warm-up, timed per stereo frame,
// and the VST 2 library of the same build as the reference, registered as
// "vst2" in every face benchmark that links FaceBench.cpp so that both are
// timed side by side in one run.
//
//   setting:S   S = 0: the defaults; S = 1: the costliest setting, LP18 dn,
//               square-root law, clipping on
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "PluginBenchSignal.h"

namespace bench {

constexpr std::uint32_t kFaceBlock = 512;

// Blocks of the signal through `process(inLeft, inRight, outLeft, outRight)`,
// after the warm-up.
template <class Process>
void timeFaceBlocks(benchmark::State& state, Process&& process) {
    const StereoSignal& in = pluginBenchSignal();
    std::vector<float> outLeft(kFaceBlock);
    std::vector<float> outRight(kFaceBlock);
    std::size_t position = 0;
    for (; position < kWarmUpFrames; position += kFaceBlock) {
        process(&in.left[position], &in.right[position], outLeft.data(), outRight.data());
    }
    for (auto _ : state) {
        process(&in.left[position], &in.right[position], outLeft.data(), outRight.data());
        benchmark::DoNotOptimize(outLeft.data());
        benchmark::DoNotOptimize(outRight.data());
        benchmark::ClobberMemory();
        position += kFaceBlock;
        if (position == kSignalFrames) position = 0;
    }
    state.counters["per_frame"] = benchmark::Counter(
        kFaceBlock, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace bench
