// The whole plug-in as a host runs it: the built library loaded with the
// host's loader, one effect made by its entry "main" and driven only through
// the record.
//
//   defaults/block:N          default settings, blocks of N frames
//   settings/bank:B/mode:M/clip:C
//                             filter bank B (0..11), compressor mode M (0 = A,
//                             1 = B), clipping C (0 off, 1 on), blocks of 512
//   startup                   dlopen of the file to the return of main
//   footprint                 heap bytes of one instance, and the mapped library
//
// per_frame is the time per stereo frame. scripts/bench-matrix reads these
// names; keep them stable.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "HostCallback.h"
#include "InstanceFootprint.h"
#include "MusicSignal.h"
#include "PluginBenchSignal.h"
#include "PluginHarness.h"
#include "PluginInstance.h"

namespace {

using bench::kSampleRate;
using bench::kSignalFrames;
using bench::kWarmUpFrames;

constexpr std::int32_t kDefaultBlock = 512;
constexpr int kBanks = 12;

const bench::StereoSignal& signal() {
    return bench::pluginBenchSignal();
}

struct Settings {
    int bank;
    int mode;
    int clip;
};

// After the host's set-up (open, sample rate, block size; resume, start), the settings.
void choose(host::PluginInstance& plugin, const Settings* settings) {
    if (settings == nullptr) return;
    plugin.setParameter(param::filterBank, static_cast<float>(settings->bank) / (kBanks - 1));
    plugin.setParameter(param::compressorMode, static_cast<float>(settings->mode));
    plugin.setParameter(param::clipOnOff, static_cast<float>(settings->clip));
}

// Runs the warm-up on the signal scaled by `scale` and returns the output's
// level relative to the input's over its second half, in dB.
double warmUp(host::PluginInstance& plugin, std::int32_t block, float scale) {
    const bench::StereoSignal& in = signal();
    const auto step = static_cast<std::size_t>(block);
    std::vector<float> inLeft(step);
    std::vector<float> inRight(step);
    std::vector<float> outLeft(step);
    std::vector<float> outRight(step);
    double inPower = 0.0;
    double outPower = 0.0;
    for (std::size_t position = 0; position < kWarmUpFrames; position += step) {
        for (std::size_t i = 0; i < step; ++i) {
            inLeft[i] = scale * in.left[position + i];
            inRight[i] = scale * in.right[position + i];
        }
        plugin.processReplacing(inLeft.data(), inRight.data(), outLeft.data(), outRight.data(),
                                block);
        if (position < kWarmUpFrames / 2) continue;
        for (std::size_t i = 0; i < step; ++i) {
            const double l = inLeft[i];
            const double r = inRight[i];
            const double outL = outLeft[i];
            const double outR = outRight[i];
            inPower += l * l + r * r;
            outPower += outL * outL + outR * outR;
        }
    }
    return 10.0 * std::log10(outPower / inPower);
}

// Times blocks of the music-like signal through processReplacing. Counters:
// per_frame; gain_db, the output level relative to the input once the
// envelopes have settled; and compression_db, that gain relative to the gain
// of a second instance fed the signal 60 dB quieter, where no band
// compresses. At the default settings the signal comes out 7.8 dB below
// its input level, 4.4 dB of it the small-signal gain (0.6 per band) and
// 3.3 dB compression: a power-weighted compressor gain of about 0.68, lower
// in the bands that carry the tones.
void processBlocks(benchmark::State& state, std::int32_t block, const Settings* settings) {
    try {
        const auto library = std::make_shared<const host::PluginLibrary>(testhost::pluginPath());
        double quietGain = 0.0;
        {
            host::PluginInstance quiet(library, kSampleRate, block);
            host::ProcessingSession running(quiet);
            choose(quiet, settings);
            quietGain = warmUp(quiet, block, 0.001f);
        }

        host::PluginInstance plugin(library, kSampleRate, block);
        host::ProcessingSession running(plugin);
        choose(plugin, settings);
        if (settings != nullptr) {
            state.SetLabel(plugin.parameterDisplay(param::filterBank) + ", mode " +
                           plugin.parameterDisplay(param::compressorMode) + ", clip " +
                           plugin.parameterDisplay(param::clipOnOff));
        }
        const double gain = warmUp(plugin, block, 1.0f);

        const bench::StereoSignal& in = signal();
        std::vector<float> outLeft(static_cast<std::size_t>(block));
        std::vector<float> outRight(static_cast<std::size_t>(block));
        const auto step = static_cast<std::size_t>(block);
        std::size_t position = kWarmUpFrames;
        for (auto _ : state) {
            plugin.processReplacing(&in.left[position], &in.right[position], outLeft.data(),
                                    outRight.data(), block);
            benchmark::DoNotOptimize(outLeft.data());
            benchmark::DoNotOptimize(outRight.data());
            benchmark::ClobberMemory();
            position += step;
            if (position == kSignalFrames) position = 0;
        }
        state.counters["per_frame"] = benchmark::Counter(
            block, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
        state.counters["gain_db"] = gain;
        state.counters["compression_db"] = gain - quietGain;
    } catch (const std::exception& failure) {
        state.SkipWithError(failure.what());
    }
}

void defaults(benchmark::State& state) {
    processBlocks(state, static_cast<std::int32_t>(state.range(0)), nullptr);
}
BENCHMARK(defaults)->ArgName("block")->Arg(kDefaultBlock)->Arg(16)->Arg(4096);

void settings(benchmark::State& state) {
    const Settings chosen{static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                          static_cast<int>(state.range(2))};
    processBlocks(state, kDefaultBlock, &chosen);
}
BENCHMARK(settings)
    ->ArgNames({"bank", "mode", "clip"})
    ->ArgsProduct({benchmark::CreateDenseRange(0, kBanks - 1, 1), {0, 1}, {0, 1}});

// Each iteration maps and initialises the library anew: the file must not be
// mapped before, and dlclose must unmap it again (the library is not marked
// to stay loaded, and has no unique symbols that would pin it).
void startup(benchmark::State& state) {
    const std::string path = testhost::pluginPath();
    if (host::PluginLibrary::isMapped(path)) {
        state.SkipWithError("the plug-in is already mapped: dlopen would not load it anew");
        return;
    }
    try {
        for (auto _ : state) {
            const auto begin = std::chrono::steady_clock::now();
            const auto library = std::make_shared<host::PluginLibrary>(path);
            vst::AEffect* record = library->entry()(host::hostCallback);
            const auto end = std::chrono::steady_clock::now();
            state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
            { host::PluginInstance plugin(library, record, kSampleRate, kDefaultBlock); }
            if (!library->unload()) {
                state.SkipWithError("dlclose left the plug-in mapped: later loads would be free");
                break;
            }
        }
    } catch (const std::exception& failure) {
        state.SkipWithError(failure.what());
    }
}
// A bounded count, to keep the run short.
BENCHMARK(startup)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(2000);

// Counters in bytes. heap_bytes: the heap chunks of the blocks that main
// leaves allocated (mallinfo_bytes: the same by mallinfo2, which misses
// chunks reused from glibc's per-thread cache), split by the sizes asked for
// into the effect object, the twelve banks, the dynamics and the rest
// (parameter texts, choice lists). dlopen_heap_bytes: what loading the
// library allocates (its C++ runtime's start-up); kept_after_unload_bytes:
// what stays allocated after effClose and dlclose. mapped_*: the library's
// segments.
void footprint(benchmark::State& state) {
    try {
        bench::InstanceFootprint instance;
        bench::MappedImage image;
        std::size_t loadHeap = 0;
        std::size_t keptHeap = 0;
        for (auto _ : state) {
            const std::size_t before = mallinfo2().uordblks;
            auto grown = [before] {
                const std::size_t now = mallinfo2().uordblks;
                return now > before ? now - before : 0;
            };
            auto library = std::make_shared<host::PluginLibrary>(testhost::pluginPath());
            loadHeap = grown();
            instance = bench::measureInstance(library);
            image = bench::mappedImage(*library);
            const bool unloaded = library->unload();
            library.reset();
            if (!unloaded) {
                state.SkipWithError("dlclose left the plug-in mapped");
                return;
            }
            keptHeap = grown();
        }
        if (!instance.complete) {
            state.SkipWithError("the allocation log missed blocks or the effect object");
            return;
        }
        auto bytes = [&](const char* name, std::size_t value) {
            state.counters[name] = static_cast<double>(value);
        };
        bytes("heap_bytes", instance.heapBytes);
        bytes("mallinfo_bytes", instance.mallinfoBytes);
        bytes("requested_bytes", instance.requestedBytes);
        bytes("blocks", instance.blocks);
        bytes("effect_object_bytes", instance.effectObjectBytes);
        bytes("bank_bytes", instance.bankBytes);
        bytes("banks", instance.banks);
        bytes("dynamics_bytes", instance.dynamicsBytes);
        bytes("other_bytes", instance.otherBytes);
        bytes("dlopen_heap_bytes", loadHeap);
        bytes("kept_after_unload_bytes", keptHeap);
        bytes("mapped_bytes", image.totalBytes);
        bytes("mapped_code_bytes", image.codeBytes);
        bytes("mapped_writable_bytes", image.writableBytes);
    } catch (const std::exception& failure) {
        state.SkipWithError(failure.what());
    }
}
BENCHMARK(footprint)->Iterations(1);

}  // namespace
