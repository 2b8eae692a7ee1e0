// The LV2 library against the VST 2 library of the same build (FaceBench.h),
// each loaded with dlopen and driven as its hosts drive it. Run with
// --benchmark_enable_random_interleaving and repetitions so that both are
// timed side by side. The LV2 runs include its meters.
#include <dlfcn.h>
#include <lv2/core/lv2.h>

#include <array>
#include <cstdint>

#include "FaceBench.h"
#include "PluginHarness.h"

namespace {

// Port indexes: the four audio ports, then the controls in host-index order,
// then the four meters; the enabled port after them is left unconnected (enabled).
constexpr std::uint32_t kFirstControlPort = 4;
constexpr std::uint32_t kPortCount = 4 + param::count + 4;
constexpr float kCostliestBank = 11.0f;  // LP18 dn

void lv2(benchmark::State& state) {
    void* library = dlopen(LV2_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    const auto entry =
        library != nullptr
            ? reinterpret_cast<LV2_Descriptor_Function>(dlsym(library, "lv2_descriptor"))
            : nullptr;
    const LV2_Descriptor* descriptor = entry != nullptr ? entry(0) : nullptr;
    LV2_Handle instance = descriptor != nullptr
                              ? descriptor->instantiate(descriptor, bench::kSampleRate, "", nullptr)
                              : nullptr;
    if (instance == nullptr) {
        state.SkipWithError("cannot load or instantiate " LV2_PLUGIN_PATH);
        if (library != nullptr) dlclose(library);
        return;
    }
    std::array<float, kPortCount> controls{};
    controls.fill(0.0f);
    // Ports left unconnected read as their defaults; the costliest setting
    // connects the three choices, the meters are always connected.
    const auto set = [&](param::Index index, float value) {
        const auto port = kFirstControlPort + static_cast<std::uint32_t>(index);
        controls[port] = value;
        descriptor->connect_port(instance, port, &controls[port]);
    };
    if (state.range(0) == 1) {
        set(param::filterBank, kCostliestBank);
        set(param::compressorMode, 1.0f);
        set(param::clipOnOff, 1.0f);
    }
    for (std::uint32_t port = kPortCount - 4; port < kPortCount; ++port) {
        descriptor->connect_port(instance, port, &controls[port]);
    }
    descriptor->activate(instance);
    bench::timeFaceBlocks(state, [&](const float* inL, const float* inR, float* outL, float* outR) {
        descriptor->connect_port(instance, 0, const_cast<float*>(inL));
        descriptor->connect_port(instance, 1, const_cast<float*>(inR));
        descriptor->connect_port(instance, 2, outL);
        descriptor->connect_port(instance, 3, outR);
        descriptor->run(instance, bench::kFaceBlock);
    });
    descriptor->deactivate(instance);
    descriptor->cleanup(instance);
    dlclose(library);
}
BENCHMARK(lv2)->ArgName("setting")->Arg(0)->Arg(1);

}  // namespace
