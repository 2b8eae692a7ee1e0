// The open editor's cost as a share of one core. One iteration is one second
// of an open editor at 30 frames a second, so the CPU time per iteration in
// milliseconds divided by 10 is the percentage of one core. Each frame the
// four meters move, the peak holds tick and draw() paints what changed; also
// a second where nothing moves, and one where a crossover is dragged (the
// bands' responses computed again every frame).
#include <benchmark/benchmark.h>

#include <cmath>

#include "editor/Editor.h"
#include "effect/ParameterIndex.h"

namespace {

constexpr int kFramesPerSecond = 30;
constexpr double kFrameSeconds = 1.0 / kFramesPerSecond;

class DiscardingSink final : public editor::EditSink {
  public:
    void beginEdit(std::uint32_t) override {}
    void performEdit(std::uint32_t, double) override {}
    void endEdit(std::uint32_t) override {}
};

// Arg: the scale in halves (2 is 1x).
void BM_EditorSecondOfMovingMeters(benchmark::State& state) {
    DiscardingSink sink;
    editor::Editor editor(sink, static_cast<double>(state.range(0)) / 2.0);
    editor.draw();
    int frame = 0;
    for (auto _ : state) {
        for (int n = 0; n < kFramesPerSecond; ++n, ++frame) {
            for (int band = 0; band < 4; ++band) {
                const double phase = 0.21 * frame + 1.3 * band;
                editor.setMeter(band, static_cast<float>(-12.0 - 10.0 * std::sin(phase)));
            }
            editor.tick(kFrameSeconds);
            benchmark::DoNotOptimize(editor.draw());
        }
    }
}
BENCHMARK(BM_EditorSecondOfMovingMeters)
    ->ArgName("scale_in_halves")
    ->Arg(2)
    ->Arg(3)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond);

void BM_EditorSecondIdle(benchmark::State& state) {
    DiscardingSink sink;
    editor::Editor editor(sink, 1.0);
    editor.draw();
    for (auto _ : state) {
        for (int n = 0; n < kFramesPerSecond; ++n) {
            editor.tick(kFrameSeconds);
            benchmark::DoNotOptimize(editor.draw());
        }
    }
}
BENCHMARK(BM_EditorSecondIdle)->Unit(benchmark::kMillisecond);

void BM_EditorSecondOfCrossoverDrag(benchmark::State& state) {
    DiscardingSink sink;
    editor::Editor editor(sink, 1.0);
    editor.draw();
    int frame = 0;
    for (auto _ : state) {
        for (int n = 0; n < kFramesPerSecond; ++n, ++frame) {
            editor.setPosition(effect::param::crossoverFreq1, 0.4 + 0.1 * std::sin(0.2 * frame));
            benchmark::DoNotOptimize(editor.draw());
        }
    }
}
BENCHMARK(BM_EditorSecondOfCrossoverDrag)->Unit(benchmark::kMillisecond);

}  // namespace
