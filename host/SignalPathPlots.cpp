#include "SignalPathPlots.h"

#include <cmath>
#include <complex>
#include <cstdio>
#include <memory>
#include <string>

#include "dsp/BandDynamics.h"
#include "dsp/FilterBankList.h"
#include "dsp/OutputClipper.h"

namespace host {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kResponsePoints = 160;
constexpr const char* kBandColours[] = {"#1f77b4", "#2ca02c", "#ff7f0e", "#d62728"};

// Default parameter values the static curves hold fixed.
constexpr float kMasterOut = 0.3f;
constexpr float kRelease = 0.1f;
constexpr float kSeparation = 0.5f;

double toDb(double magnitude) {
    return 20.0 * std::log10(std::max(magnitude, 1e-12));
}

// |sum of h[n] e^{-i w n}| by a rotating phasor.
double magnitudeAt(const std::vector<float>& impulse, double hz, double sampleRate) {
    const std::complex<double> step = std::polar(1.0, -2.0 * kPi * hz / sampleRate);
    std::complex<double> phasor = 1.0;
    std::complex<double> sum = 0.0;
    for (const float h : impulse) {
        sum += static_cast<double>(h) * phasor;
        phasor *= step;
    }
    return std::abs(sum);
}

PlotAxis frequencyAxis() {
    return {"frequency (Hz)",
            20.0,
            20000.0,
            true,
            {20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000}};
}

std::vector<double> steps(double from, double to, double step) {
    std::vector<double> values;
    for (double v = from; v <= to + 1e-9; v += step) values.push_back(v);
    return values;
}

std::string decibelText(double db) {
    char text[32];
    std::snprintf(text, sizeof text, "%+.0f dB", db);
    return text;
}

}  // namespace

BankResponse measureBankResponse(std::size_t bankIndex, const std::array<float, 3>& crossovers,
                                 float sampleRate) {
    const std::unique_ptr<dsp::BandSplitter> bank(dsp::kFilterBankList.at(bankIndex).create());
    bank->setFrequencies(crossovers.data(), sampleRate);
    bank->reset();
    // One second: long enough for the lowest crossover's response to die away.
    const auto length = static_cast<std::size_t>(sampleRate);
    std::array<std::vector<float>, 4> impulses;
    std::vector<float> sum(length);
    for (auto& impulse : impulses) impulse.resize(length);
    float bands[64] = {};
    for (std::size_t n = 0; n < length; ++n) {
        bank->process(n == 0 ? 1.0f : 0.0f, bands);
        for (std::size_t b = 0; b < 4; ++b) {
            impulses[b][n] = bands[b];
            sum[n] += bands[b];
        }
    }

    BankResponse response;
    for (int i = 0; i < kResponsePoints; ++i) {
        const double hz = 20.0 * std::pow(1000.0, static_cast<double>(i) / (kResponsePoints - 1));
        response.frequencies.push_back(hz);
        for (std::size_t b = 0; b < 4; ++b) {
            response.bandDb[b].push_back(toDb(magnitudeAt(impulses[b], hz, sampleRate)));
        }
        response.sumDb.push_back(toDb(magnitudeAt(sum, hz, sampleRate)));
    }
    return response;
}

double staticBandOutputDb(bool squareRootLaw, double driveDb, double inputDb, float sampleRate) {
    dsp::BandDynamics dynamics;
    const float unity[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    dynamics.configure(kDefaultCrossovers.data(), sampleRate,
                       static_cast<float>(std::pow(10.0, driveDb / 20.0)), unity, kMasterOut, unity,
                       kRelease, kSeparation, squareRootLaw);
    const auto level = static_cast<float>(std::pow(10.0, inputDb / 20.0));
    float left[64] = {};
    float right[64] = {};
    // A steady level on every band and channel for one second: band 0, the
    // slowest, closes 95 % of a gap in the release time (0.1 s), so ten such
    // times leave nothing visible of the start.
    const int frames = static_cast<int>(sampleRate);
    for (int n = 0; n < frames; ++n) {
        for (int b = 0; b < 4; ++b) left[b] = right[b] = level;
        dynamics.processBands(left, right);
    }
    return toDb(std::fabs(static_cast<double>(left[0])));
}

SvgFigure filterBankFigure(const std::array<float, 3>& crossovers, float sampleRate) {
    char title[160];
    std::snprintf(title, sizeof title,
                  "Band magnitude responses of the twelve filter banks (crossovers %g, %g, %g Hz)",
                  static_cast<double>(crossovers[0]), static_cast<double>(crossovers[1]),
                  static_cast<double>(crossovers[2]));
    SvgFigure figure(title, 4, 330, 250);
    for (std::size_t i = 0; i < dsp::kFilterBankList.size(); ++i) {
        const BankResponse response = measureBankResponse(i, crossovers, sampleRate);
        SvgPlot panel(dsp::kFilterBankList[i].displayName, frequencyAxis(),
                      {"magnitude (dB)", -36.0, 6.0, false, steps(-36, 6, 6)}, LegendPlace::None);
        for (std::size_t b = 0; b < 4; ++b) {
            PlotSeries series{"band " + std::to_string(b), kBandColours[b], {}, false};
            for (std::size_t k = 0; k < response.frequencies.size(); ++k) {
                series.points.emplace_back(response.frequencies[k], response.bandDb[b][k]);
            }
            panel.add(std::move(series));
        }
        PlotSeries sum{"sum", "#222", {}, true};
        for (std::size_t k = 0; k < response.frequencies.size(); ++k) {
            sum.points.emplace_back(response.frequencies[k], response.sumDb[k]);
        }
        panel.add(std::move(sum));
        figure.add(std::move(panel));
    }
    std::vector<PlotSeries> legend;
    for (std::size_t b = 0; b < 4; ++b)
        legend.push_back({"band " + std::to_string(b), kBandColours[b], {}, false});
    legend.push_back({"sum of bands", "#222", {}, true});
    figure.setLegend(std::move(legend));
    return figure;
}

SvgFigure compressorCurveFigure(const std::vector<double>& drivesDb, float sampleRate) {
    SvgFigure figure("Static curves of one band (default settings but drive) and of the clipper",
                     static_cast<int>(drivesDb.size()) + 1, 400, 340);
    for (const double drive : drivesDb) {
        SvgPlot panel("Band compressor, master drive " + decibelText(drive),
                      {"band input level (dBFS)", -60.0, 12.0, false, steps(-60, 12, 12)},
                      {"band output level (dBFS)", -72.0, 12.0, false, steps(-72, 12, 12)});
        // Without compression the band's gain is its input gain times its
        // output gain: 2 * sqrt(drive) * master out.
        const double linearGainDb =
            toDb(2.0 * std::pow(10.0, drive / 40.0) * static_cast<double>(kMasterOut));
        PlotSeries plain{"A: plain law", "#1f77b4", {}, false};
        PlotSeries root{"B: square-root law", "#d62728", {}, false};
        PlotSeries linear{"no compression", "#888", {}, true};
        for (const double input : steps(-60, 12, 1)) {
            plain.points.emplace_back(input, staticBandOutputDb(false, drive, input, sampleRate));
            root.points.emplace_back(input, staticBandOutputDb(true, drive, input, sampleRate));
            linear.points.emplace_back(input, input + linearGainDb);
        }
        panel.add(std::move(plain));
        panel.add(std::move(root));
        panel.add(std::move(linear));
        figure.add(std::move(panel));
    }
    // Clip hard<>soft does not reach the sound: the clipper always has knee 0.
    SvgPlot clipper("Output clipper", {"input", -2.0, 2.0, false, steps(-2, 2, 0.5)},
                    {"output", -1.25, 1.25, false, steps(-1, 1, 0.5)});
    PlotSeries curve{"Clipping on", "#9467bd", {}, false};
    PlotSeries identity{"Clipping off", "#888", {}, true};
    for (const double x : steps(-2.0, 2.0, 0.02)) {
        curve.points.emplace_back(
            x, static_cast<double>(dsp::clipOutput(0.0f, static_cast<float>(x))));
        identity.points.emplace_back(x, x);
    }
    clipper.add(std::move(curve));
    clipper.add(std::move(identity));
    figure.add(std::move(clipper));
    return figure;
}

}  // namespace host
