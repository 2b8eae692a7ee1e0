// The VST 3 bundle against the VST 2 library of the same build (FaceBench.h),
// the bundle opened in Ardour's order by the host's VST 3 loader and driven as
// Ardour drives it, except that input and output are separate buffers, as in
// the VST 2 runs. Run with --benchmark_enable_random_interleaving and
// repetitions so that both are timed side by side. Each VST 3 process call
// takes its (empty) input parameter changes and sends the four meters.
#include <exception>

#include "FaceBench.h"
#include "Vst3TestHost.h"

namespace {

void vst3(benchmark::State& state) {
    try {
        vst3test::Instance plugin(bench::kSampleRate,
                                  static_cast<vst3::int32>(bench::kFaceBlock));
        if (state.range(0) == 1) {
            plugin.queue(param::filterBank, 1.0);
            plugin.queue(param::compressorMode, 1.0);
            plugin.queue(param::clipOnOff, 1.0);
            plugin.process(nullptr, nullptr, 0);
        }
        vst3host::ParameterChanges input;
        vst3host::ParameterChanges output;
        float* inChannels[2] = {};
        float* outChannels[2] = {};
        vst3::AudioBusBuffers inBus{};
        inBus.numChannels = 2;
        inBus.channelBuffers32 = inChannels;
        vst3::AudioBusBuffers outBus{};
        outBus.numChannels = 2;
        outBus.channelBuffers32 = outChannels;
        vst3::ProcessData data{};
        data.processMode = vst3::kRealtime;
        data.symbolicSampleSize = vst3::kSample32;
        data.numSamples = static_cast<vst3::int32>(bench::kFaceBlock);
        data.numInputs = 1;
        data.numOutputs = 1;
        data.inputs = &inBus;
        data.outputs = &outBus;
        data.inputParameterChanges = &input;
        data.outputParameterChanges = &output;
        vst3::IAudioProcessor* processor = plugin.processor();
        bench::timeFaceBlocks(
            state, [&](const float* inL, const float* inR, float* outL, float* outR) {
                inChannels[0] = const_cast<float*>(inL);
                inChannels[1] = const_cast<float*>(inR);
                outChannels[0] = outL;
                outChannels[1] = outR;
                output.clear();
                processor->process(data);
            });
    } catch (const std::exception& failure) {
        state.SkipWithError(failure.what());
    }
}
BENCHMARK(vst3)->ArgName("setting")->Arg(0)->Arg(1);

}  // namespace
