// One hour of audio through the effect at random block sizes, with a random
// parameter change every few blocks (bank switches included) and the level
// moving between silence and far above full scale. The output must stay
// finite and bounded and the resident memory must not grow. One iteration of
// about a minute; not part of any test run (see docs/RELIABILITY.md).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

#if defined(__linux__)
#include <unistd.h>
#endif

#include "HostCallback.h"
#include "effect/CompressorEffect.h"

namespace {

constexpr double kRate = 44100.0;
constexpr std::size_t kHour = 3600 * 44100;
constexpr std::size_t kMaxBlock = 4096;
constexpr std::size_t kLoopFrames = 1 << 18;  // about 6 s of source, looped
// Small-signal gain tops out near +78 dB at the extreme settings, and the
// compression holds loud input far below that; anything beyond is a fault.
constexpr float kOutputBound = 1.0e5f;

struct Resident {
    double total = 0.0;      // KiB
    double anonymous = 0.0;  // KiB not backed by files: the heap and stacks
};

// Zero where it cannot be read. File-backed pages (code run for the first
// time) are not the memory a leak would grow.
Resident resident() {
    Resident r;
#if defined(__linux__)
    long size = 0;
    long total = 0;
    long shared = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld %ld", &size, &total, &shared) == 3) {
            const double page = static_cast<double>(sysconf(_SC_PAGESIZE)) / 1024.0;
            r.total = static_cast<double>(total) * page;
            r.anonymous = static_cast<double>(total - shared) * page;
        }
        std::fclose(statm);
    }
#endif
    return r;
}

void soakOneHour(benchmark::State& state) {
    std::vector<float> sourceLeft(kLoopFrames);
    std::vector<float> sourceRight(kLoopFrames);
    std::mt19937 random(2024);
    std::normal_distribution<float> hiss(0.0f, 0.05f);
    for (std::size_t i = 0; i < kLoopFrames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double beat = std::exp(-8.0 * std::fmod(t, 0.5));
        const double kick = 0.8 * beat * std::sin(2.0 * 3.14159265358979 * 55.0 * t);
        const double pad = 0.2 * std::sin(2.0 * 3.14159265358979 * 440.0 * t) +
                           0.1 * std::sin(2.0 * 3.14159265358979 * 3520.0 * t);
        sourceLeft[i] = static_cast<float>(kick + pad) + hiss(random);
        sourceRight[i] = static_cast<float>(kick - pad) + hiss(random);
    }
    const float levels[] = {0.0f, 0.001f, 0.1f, 0.5f, 1.0f, 4.0f, 100.0f};

    std::vector<float> inLeft(kMaxBlock);
    std::vector<float> inRight(kMaxBlock);
    std::vector<float> outLeft(kMaxBlock);
    std::vector<float> outRight(kMaxBlock);
    std::size_t nonFinite = 0;
    float peak = 0.0f;
    float peakFirstTenMinutes = 0.0f;
    float peakLastTenMinutes = 0.0f;
    Resident before;
    Resident after;
    std::size_t changes = 0;

    for (auto _ : state) {
        effect::CompressorEffect effect(host::hostCallback);
        std::size_t done = 0;
        std::size_t position = 0;
        float level = 0.5f;
        std::size_t nextLevelChange = 0;
        std::size_t blocksToChange = 1;
        while (done < kHour) {
            if (done >= nextLevelChange) {
                level = levels[random() % (sizeof levels / sizeof levels[0])];
                nextLevelChange = done + static_cast<std::size_t>(kRate) * (1 + random() % 20);
            }
            if (--blocksToChange == 0) {
                const auto index = static_cast<std::int32_t>(random() % effect::param::count);
                effect.setParameter(index,
                                    std::uniform_real_distribution<float>(0.0f, 1.0f)(random));
                ++changes;
                blocksToChange = 1 + random() % 8;
            }
            const std::size_t frames =
                std::min<std::size_t>(1 + random() % kMaxBlock, kHour - done);
            for (std::size_t i = 0; i < frames; ++i) {
                inLeft[i] = level * sourceLeft[(position + i) % kLoopFrames];
                inRight[i] = level * sourceRight[(position + i) % kLoopFrames];
            }
            position += frames;
            float* inputs[2] = {inLeft.data(), inRight.data()};
            float* outputs[2] = {outLeft.data(), outRight.data()};
            const bool replace = random() % 4 != 0;
            if (!replace) {
                std::fill(outLeft.begin(), outLeft.end(), 0.0f);
                std::fill(outRight.begin(), outRight.end(), 0.0f);
            }
            if (replace) {
                effect.processReplacing(inputs, outputs, static_cast<std::int32_t>(frames));
            } else {
                effect.process(inputs, outputs, static_cast<std::int32_t>(frames));
            }
            float blockPeak = 0.0f;
            for (std::size_t i = 0; i < frames; ++i) {
                if (!std::isfinite(outLeft[i]) || !std::isfinite(outRight[i])) ++nonFinite;
                blockPeak = std::max({blockPeak, std::fabs(outLeft[i]), std::fabs(outRight[i])});
            }
            peak = std::max(peak, blockPeak);
            if (done < kHour / 6) peakFirstTenMinutes = std::max(peakFirstTenMinutes, blockPeak);
            if (done >= kHour - kHour / 6) {
                peakLastTenMinutes = std::max(peakLastTenMinutes, blockPeak);
            }
            done += frames;
            // Memory is first read after a minute, when everything the
            // process touches for good has been touched.
            if (before.total == 0.0 && done >= 60 * static_cast<std::size_t>(kRate)) {
                before = resident();
            }
        }
        after = resident();
    }

    state.counters["audio_s"] = static_cast<double>(kHour) / kRate;
    state.counters["changes"] = static_cast<double>(changes);
    state.counters["non_finite"] = static_cast<double>(nonFinite);
    state.counters["peak"] = static_cast<double>(peak);
    state.counters["peak_first_10min"] = static_cast<double>(peakFirstTenMinutes);
    state.counters["peak_last_10min"] = static_cast<double>(peakLastTenMinutes);
    state.counters["rss_kib_1min"] = before.total;
    state.counters["rss_kib_1h"] = after.total;
    state.counters["anon_kib_1min"] = before.anonymous;
    state.counters["anon_kib_1h"] = after.anonymous;
    if (nonFinite != 0) state.SkipWithError("non-finite output samples");
    if (!(peak <= kOutputBound)) state.SkipWithError("output beyond the bound");
    if (after.anonymous > before.anonymous) state.SkipWithError("heap or stack memory grew");
}
BENCHMARK(soakOneHour)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
