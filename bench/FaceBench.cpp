#include "FaceBench.h"

#include <exception>

#include "PluginHarness.h"
#include "PluginInstance.h"

namespace {

void vst2(benchmark::State& state) {
    try {
        host::PluginInstance plugin(testhost::sharedLibrary(), bench::kSampleRate,
                                    static_cast<std::int32_t>(bench::kFaceBlock));
        host::ProcessingSession running(plugin);
        if (state.range(0) == 1) {
            plugin.setParameter(param::filterBank, 1.0f);
            plugin.setParameter(param::compressorMode, 1.0f);
            plugin.setParameter(param::clipOnOff, 1.0f);
        }
        bench::timeFaceBlocks(
            state, [&](const float* inL, const float* inR, float* outL, float* outR) {
                plugin.processReplacing(inL, inR, outL, outR,
                                        static_cast<std::int32_t>(bench::kFaceBlock));
            });
    } catch (const std::exception& failure) {
        state.SkipWithError(failure.what());
    }
}
BENCHMARK(vst2)->ArgName("setting")->Arg(0)->Arg(1);

}  // namespace
