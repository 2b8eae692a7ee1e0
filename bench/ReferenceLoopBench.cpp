// The whole plug-in through its record against the fused reference loop of
// the default chain, on the same music-like signal at 48 kHz in blocks of
// 512. Set-up first checks that both give the same output bit for bit; the
// timed part then alternates one block of each, so that drifts of the
// machine's speed touch both alike. Counters: ns per stereo frame of each and
// their ratio (the plug-in's cost in units of the reference loop's).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

#include "FusedReferenceLoop.h"
#include "MusicSignal.h"
#include "PluginHarness.h"
#include "PluginInstance.h"

namespace {

constexpr float kRate = 48000.0f;
constexpr std::int32_t kBlock = 512;
constexpr std::size_t kSignalFrames = 200 * kBlock;  // about 2.1 s, looped
constexpr std::size_t kCheckedFrames = 2 * kSignalFrames;

using Clock = std::chrono::steady_clock;

struct Output {
    std::vector<float> left = std::vector<float>(kBlock);
    std::vector<float> right = std::vector<float>(kBlock);
};

void pluginAgainstReferenceLoop(benchmark::State& state) {
    const bench::StereoSignal signal = bench::musicSignal(kSignalFrames, kRate);
    host::PluginInstance plugin(testhost::pluginPath(), kRate, kBlock);
    host::ProcessingSession running(plugin);
    bench::FusedReferenceLoop reference(kRate);
    Output fromPlugin;
    Output fromReference;

    std::size_t position = 0;
    auto next = [&position]() {
        const std::size_t at = position;
        position = (position + kBlock) % kSignalFrames;
        return at;
    };
    for (std::size_t done = 0; done < kCheckedFrames; done += kBlock) {
        const std::size_t at = next();
        plugin.processReplacing(&signal.left[at], &signal.right[at], fromPlugin.left.data(),
                                fromPlugin.right.data(), kBlock);
        reference.process(&signal.left[at], &signal.right[at], fromReference.left.data(),
                          fromReference.right.data(), kBlock);
        const std::size_t bytes = kBlock * sizeof(float);
        if (std::memcmp(fromPlugin.left.data(), fromReference.left.data(), bytes) != 0 ||
            std::memcmp(fromPlugin.right.data(), fromReference.right.data(), bytes) != 0) {
            state.SkipWithError("the reference loop's output differs from the plug-in's");
            return;
        }
    }

    Clock::duration pluginTime{};
    Clock::duration referenceTime{};
    std::int64_t frames = 0;
    bool pluginFirst = true;
    for (auto _ : state) {
        const std::size_t at = next();
        auto runPlugin = [&]() {
            const Clock::time_point start = Clock::now();
            plugin.processReplacing(&signal.left[at], &signal.right[at], fromPlugin.left.data(),
                                    fromPlugin.right.data(), kBlock);
            pluginTime += Clock::now() - start;
        };
        auto runReference = [&]() {
            const Clock::time_point start = Clock::now();
            reference.process(&signal.left[at], &signal.right[at], fromReference.left.data(),
                              fromReference.right.data(), kBlock);
            referenceTime += Clock::now() - start;
        };
        if (pluginFirst) {
            runPlugin();
            runReference();
        } else {
            runReference();
            runPlugin();
        }
        pluginFirst = !pluginFirst;
        benchmark::DoNotOptimize(fromPlugin.left.data());
        benchmark::DoNotOptimize(fromReference.left.data());
        benchmark::ClobberMemory();
        frames += kBlock;
    }

    const double pluginNs = std::chrono::duration<double, std::nano>(pluginTime).count();
    const double referenceNs = std::chrono::duration<double, std::nano>(referenceTime).count();
    const double perFrame = 1.0 / static_cast<double>(frames);
    state.counters["plugin_ns_per_frame"] = pluginNs * perFrame;
    state.counters["reference_ns_per_frame"] = referenceNs * perFrame;
    state.counters["ratio"] = pluginNs / referenceNs;
}
BENCHMARK(pluginAgainstReferenceLoop)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
