// The whole effect, block by block as a host drives it, on music-like signal
// and on digital silence that follows a loud burst. Without the anti-denormal
// noise the filters and envelopes would sink into subnormal numbers in the
// silence and each frame would cost many times more; with it the two cases
// cost about the same. Compare the two per_frame figures of one run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "HostCallback.h"
#include "MusicSignal.h"
#include "effect/CompressorEffect.h"

namespace {

constexpr std::size_t kBlock = 512;
constexpr std::size_t kMusicFrames = 128 * kBlock;  // about 1.5 s, looped
constexpr double kRate = 44100.0;

// Arg 0: music-like signal. Arg 1: silence, after one second of loud music
// and 30 s of silence already processed.
void effectFrames(benchmark::State& state) {
    const bool silence = state.range(0) != 0;
    effect::CompressorEffect effect(host::hostCallback);
    effect.setParameter(effect::param::masterDrive, 0.5f);  // +20 dB: deep compression
    const bench::StereoSignal loud = bench::musicSignal(kMusicFrames, kRate);
    const bench::StereoSignal quiet{std::vector<float>(kMusicFrames),
                                    std::vector<float>(kMusicFrames)};
    std::vector<float> outLeft(kBlock);
    std::vector<float> outRight(kBlock);
    float* outputs[2] = {outLeft.data(), outRight.data()};
    std::size_t position = 0;
    auto block = [&](const bench::StereoSignal& in) {
        float* inputs[2] = {const_cast<float*>(in.left.data() + position),
                            const_cast<float*>(in.right.data() + position)};
        effect.processReplacing(inputs, outputs, static_cast<std::int32_t>(kBlock));
        position = (position + kBlock) % kMusicFrames;
    };

    if (silence) {
        for (std::size_t n = 0; n < static_cast<std::size_t>(kRate) / kBlock; ++n) block(loud);
        for (std::size_t n = 0; n < 30 * static_cast<std::size_t>(kRate) / kBlock; ++n) {
            block(quiet);
        }
    }
    const bench::StereoSignal& input = silence ? quiet : loud;
    state.SetLabel(silence ? "silence after burst" : "music-like");
    for (auto _ : state) {
        block(input);
        benchmark::DoNotOptimize(outLeft.data());
        benchmark::DoNotOptimize(outRight.data());
        benchmark::ClobberMemory();
    }
    const auto frames = static_cast<double>(state.iterations()) * static_cast<double>(kBlock);
    state.counters["per_frame"] =
        benchmark::Counter(frames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(effectFrames)->Arg(0)->Arg(1);

}  // namespace
