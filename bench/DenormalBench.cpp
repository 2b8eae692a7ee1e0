// The whole effect, block by block as a host drives it, on music-like signal
// and on digital silence that follows a loud burst. Without the anti-denormal
// noise the filters and envelopes would sink into subnormal numbers in the
// silence and each frame would cost many times more; with it the two cases
// cost about the same. Compare the two per_frame figures of one run.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "effect/CompressorEffect.h"

namespace {

constexpr std::size_t kBlock = 512;
constexpr std::size_t kMusicFrames = 128 * kBlock;  // about 1.5 s, looped
constexpr double kRate = 44100.0;

vst::IntPtr VST_CALL hostCallback(vst::AEffect*, std::int32_t opcode, std::int32_t, vst::IntPtr,
                                  void*, float) {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

struct Stereo {
    std::vector<float> left;
    std::vector<float> right;
};

// Two tones and a noise bed, left and right different.
Stereo music() {
    Stereo s{std::vector<float>(kMusicFrames), std::vector<float>(kMusicFrames)};
    std::uint32_t noise = 1;
    for (std::size_t i = 0; i < kMusicFrames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        noise = noise * 1664525u + 1013904223u;
        const double hiss = 0.1 * (static_cast<double>(noise >> 8) / 16777216.0 - 0.5);
        const double low = 0.5 * std::sin(2.0 * 3.14159265358979 * 82.0 * t);
        const double high = 0.2 * std::sin(2.0 * 3.14159265358979 * 2900.0 * t);
        s.left[i] = static_cast<float>(low + high + hiss);
        s.right[i] = static_cast<float>(low - high - hiss);
    }
    return s;
}

// Arg 0: music-like signal. Arg 1: silence, after one second of loud music
// and 30 s of silence already processed.
void effectFrames(benchmark::State& state) {
    const bool silence = state.range(0) != 0;
    effect::CompressorEffect effect(hostCallback);
    effect.setParameter(1, 0.5f);  // master drive +20 dB: deep compression
    const Stereo loud = music();
    const Stereo quiet{std::vector<float>(kMusicFrames), std::vector<float>(kMusicFrames)};
    std::vector<float> outLeft(kBlock);
    std::vector<float> outRight(kBlock);
    float* outputs[2] = {outLeft.data(), outRight.data()};
    std::size_t position = 0;
    auto block = [&](const Stereo& in) {
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
    const Stereo& input = silence ? quiet : loud;
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
