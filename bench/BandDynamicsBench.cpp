// BandDynamics::processBands on one stereo frame of four bands, under each
// gain law, called through the MultibandProcessor interface. Time is per frame.
#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <memory>
#include <random>
#include <vector>

#include "dsp/BandDynamics.h"

namespace {

void bandDynamicsFrame(benchmark::State& state) {
    const bool squareRootMode = state.range(0) != 0;
    const std::unique_ptr<dsp::MultibandProcessor> dynamics(new dsp::BandDynamics());
    const std::array<float, 3> frequencies{200.0f, 700.0f, 2000.0f};
    const std::array<float, 4> ones{1.0f, 1.0f, 1.0f, 1.0f};
    dynamics->configure(frequencies.data(), 44100.0f, 1.0f, ones.data(), 0.3f, ones.data(), 0.1f,
                        0.5f, squareRootMode);
    state.SetLabel(squareRootMode ? "square-root law" : "plain law");

    std::mt19937 generator(3);
    std::uniform_real_distribution<float> distribution(-1.0f, 1.0f);
    std::vector<float> input(4096);
    for (float& sample : input) sample = distribution(generator);

    std::array<float, 64> left{};
    std::array<float, 64> right{};
    std::size_t n = 0;
    for (auto _ : state) {
        for (std::size_t band = 0; band < 4; ++band) {
            left[band] = input[(n + band) & 4095];
            right[band] = input[(n + band + 7) & 4095];
        }
        dynamics->processBands(left.data(), right.data());
        benchmark::DoNotOptimize(left.data());
        benchmark::DoNotOptimize(right.data());
        benchmark::ClobberMemory();
        n = (n + 4) & 4095;
    }
}
BENCHMARK(bandDynamicsFrame)->Arg(0)->Arg(1);

}  // namespace
