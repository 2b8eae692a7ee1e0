// The CLAP file against the VST 2 library of the same build (FaceBench.h),
// the file loaded and its instance driven by the tests' CLAP host, except
// that input and output are separate buffers, as in the VST 2 runs. Run with
// --benchmark_enable_random_interleaving and repetitions so that both are
// timed side by side. Each CLAP process call reads its (empty) input events
// and sends the four meters.
#include <exception>

#include "ClapTestHost.h"
#include "FaceBench.h"

namespace {

void clap(benchmark::State& state) {
    try {
        claptest::Instance plugin(bench::kSampleRate, bench::kFaceBlock);
        if (state.range(0) == 1) {
            plugin.queue(param::filterBank, 11.0);
            plugin.queue(param::compressorMode, 1.0);
            plugin.queue(param::clipOnOff, 1.0);
            plugin.process(nullptr, nullptr, 0);
        }
        claphost::InputEvents input;
        claphost::OutputEvents output;
        float* inChannels[2] = {};
        float* outChannels[2] = {};
        clap::clap_audio_buffer inPort{};
        inPort.data32 = inChannels;
        inPort.channel_count = 2;
        clap::clap_audio_buffer outPort{};
        outPort.data32 = outChannels;
        outPort.channel_count = 2;
        clap::clap_process data{};
        data.steady_time = -1;
        data.frames_count = bench::kFaceBlock;
        data.audio_inputs = &inPort;
        data.audio_outputs = &outPort;
        data.audio_inputs_count = 1;
        data.audio_outputs_count = 1;
        data.in_events = input.list();
        data.out_events = output.list();
        const clap::clap_plugin& instance = plugin.plugin();
        bench::timeFaceBlocks(state,
                              [&](const float* inL, const float* inR, float* outL, float* outR) {
                                  inChannels[0] = const_cast<float*>(inL);
                                  inChannels[1] = const_cast<float*>(inR);
                                  outChannels[0] = outL;
                                  outChannels[1] = outR;
                                  instance.process(&instance, &data);
                              });
    } catch (const std::exception& failure) {
        state.SkipWithError(failure.what());
    }
}
BENCHMARK(clap)->ArgName("setting")->Arg(0)->Arg(1);

}  // namespace
