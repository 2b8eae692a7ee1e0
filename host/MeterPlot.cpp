#include "MeterPlot.h"

#include <algorithm>
#include <cmath>

namespace host {

namespace {

constexpr const char* kColours[] = {"#1f77b4", "#2ca02c", "#ff7f0e", "#d62728",
                                    "#9467bd", "#8c564b", "#e377c2", "#17becf"};

// The largest and smallest sample over the channels in each block, as points
// at the block's start: the waveform's outline.
void addOutline(SvgPlot& panel, const AudioBuffer& audio, const MeterLog& meters,
                const std::string& name, const std::string& colour) {
    PlotSeries upper{name, colour, {}, false};
    PlotSeries lower{"", colour, {}, false};
    for (std::size_t b = 0; b < meters.blockCount(); ++b) {
        const auto start =
            static_cast<std::size_t>(std::llround(meters.time(b) * audio.sampleRate));
        const std::size_t end =
            b + 1 < meters.blockCount()
                ? static_cast<std::size_t>(std::llround(meters.time(b + 1) * audio.sampleRate))
                : audio.frames();
        float high = 0.0f;
        float low = 0.0f;
        for (const std::vector<float>& channel : audio.channels) {
            for (std::size_t n = start; n < std::min(end, channel.size()); ++n) {
                high = std::max(high, channel[n]);
                low = std::min(low, channel[n]);
            }
        }
        upper.points.emplace_back(meters.time(b), std::clamp(high, -1.0f, 1.0f));
        lower.points.emplace_back(meters.time(b), std::clamp(low, -1.0f, 1.0f));
    }
    panel.add(std::move(upper));
    panel.add(std::move(lower));
}

std::vector<double> ticks(double from, double to, int count) {
    std::vector<double> values;
    const double rough = (to - from) / count;
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    double step = magnitude;
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        step = factor * magnitude;
        if (step >= rough) break;
    }
    for (double v = std::ceil(from / step) * step; v <= to + step * 1e-9; v += step) {
        values.push_back(std::fabs(v) < step * 1e-9 ? 0.0 : v);
    }
    return values;
}

}  // namespace

SvgFigure meterFigure(const std::string& title, const AudioBuffer& input, const AudioBuffer& output,
                      const MeterLog& meters) {
    const double seconds = static_cast<double>(input.frames()) / input.sampleRate;
    const PlotAxis time{"time (s)", 0.0, seconds, false, ticks(0.0, seconds, 8)};

    SvgPlot waveform("waveform: peaks per block", time,
                     {"sample", -1.0, 1.0, false, {-1.0, -0.5, 0.0, 0.5, 1.0}}, LegendPlace::None);
    addOutline(waveform, input, meters, "input", "#bbbbbb");
    addOutline(waveform, output, meters, "output", "#1f77b4");

    double low = 0.0;
    double high = 0.0;
    for (std::size_t b = 0; b < meters.blockCount(); ++b) {
        for (std::size_t m = 0; m < meters.meters().size(); ++m) {
            low = std::min(low, meters.value(b, m));
            high = std::max(high, meters.value(b, m));
        }
    }
    if (high - low < 1.0) high = low + 1.0;
    const std::string unit = meters.meters().empty() ? "" : meters.meters().front().unit;
    SvgPlot values(
        "read-only outputs after each block", time,
        {unit.empty() ? "value" : "value (" + unit + ")", low, high, false, ticks(low, high, 6)},
        LegendPlace::None);
    std::vector<PlotSeries> legend = {{"input", "#bbbbbb", {}, false},
                                      {"output", "#1f77b4", {}, false}};
    for (std::size_t m = 0; m < meters.meters().size(); ++m) {
        PlotSeries series{
            meters.meters()[m].name, kColours[(m + 2) % std::size(kColours)], {}, false};
        for (std::size_t b = 0; b < meters.blockCount(); ++b) {
            series.points.emplace_back(meters.time(b), meters.value(b, m));
        }
        legend.push_back({series.name, series.colour, {}, false});
        values.add(std::move(series));
    }

    SvgFigure figure(title, 1, 900.0, 260.0);
    // Room for names such as "Band 0 gain reduction".
    figure.setLegend(std::move(legend), 140.0);
    figure.add(std::move(waveform));
    figure.add(std::move(values));
    return figure;
}

}  // namespace host
