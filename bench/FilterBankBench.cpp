// One stereo frame through each of the twelve banks, called through the
// BandSplitter pointer as the processing driver calls it. Time is per frame.
#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <memory>
#include <random>
#include <vector>

#include "dsp/FilterBankList.h"

namespace {

std::vector<float> benchNoise(std::size_t length, std::uint32_t seed) {
    std::mt19937 generator(seed);
    std::uniform_real_distribution<float> distribution(-1.0f, 1.0f);
    std::vector<float> signal(length);
    for (float& sample : signal) sample = distribution(generator);
    return signal;
}

void filterBankFrame(benchmark::State& state) {
    const auto index = static_cast<std::size_t>(state.range(0));
    const std::unique_ptr<dsp::BandSplitter> bank(dsp::kFilterBankList.at(index).create());
    const std::array<float, 3> frequencies{200.0f, 700.0f, 2000.0f};
    bank->setFrequencies(frequencies.data(), 44100.0f);
    bank->reset();
    state.SetLabel(dsp::kFilterBankList.at(index).identifier);

    const auto left = benchNoise(4096, 1);
    const auto right = benchNoise(4096, 2);
    std::array<float, 64> bandsLeft{};
    std::array<float, 64> bandsRight{};
    std::size_t n = 0;
    for (auto _ : state) {
        bank->processStereo(left[n], right[n], bandsLeft.data(), bandsRight.data());
        benchmark::DoNotOptimize(bandsLeft.data());
        benchmark::DoNotOptimize(bandsRight.data());
        benchmark::ClobberMemory();
        n = (n + 1) & 4095;
    }
}
BENCHMARK(filterBankFrame)->DenseRange(0, 11);

}  // namespace
