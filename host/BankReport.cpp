// bank-report: prints how each of the twelve filter banks spreads a few sine
// tones over its four bands at the default crossovers, and the static gain of
// the band compressor under both laws at the default settings.
#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "dsp/BandDynamics.h"
#include "dsp/FilterBankList.h"

namespace {

constexpr float kSampleRate = 44100.0f;
constexpr std::array<float, 3> kCrossovers{200.0f, 700.0f, 2000.0f};
constexpr std::array<float, 4> kToneFrequencies{50.0f, 400.0f, 1200.0f, 8000.0f};
constexpr int kSettleFrames = 22050;
constexpr int kMeasureFrames = 44100;

double toDecibels(double ratio) {
    return ratio > 0.0 ? 20.0 * std::log10(ratio) : -999.0;
}

struct ToneResult {
    std::array<double, 4> bandDecibels;  // band RMS relative to the tone's RMS
    double largestSumError;              // |sum of bands - input|, largest sample
};

ToneResult measureTone(dsp::BandSplitter& bank, float frequency) {
    bank.reset();
    const double step = 2.0 * 3.14159265358979323846 * static_cast<double>(frequency) /
                        static_cast<double>(kSampleRate);
    std::array<double, 4> bandEnergy{};
    double inputEnergy = 0.0;
    double largestSumError = 0.0;
    std::array<float, 64> bandsLeft{};
    std::array<float, 64> bandsRight{};
    for (int n = 0; n < kSettleFrames + kMeasureFrames; ++n) {
        const auto x = static_cast<float>(std::sin(step * n));
        bank.processStereo(x, x, bandsLeft.data(), bandsRight.data());
        if (n < kSettleFrames) continue;
        double sum = 0.0;
        for (std::size_t b = 0; b < 4; ++b) {
            const auto band = static_cast<double>(bandsLeft[b]);
            bandEnergy[b] += band * band;
            sum += band;
        }
        inputEnergy += static_cast<double>(x) * static_cast<double>(x);
        largestSumError = std::fmax(largestSumError, std::fabs(sum - static_cast<double>(x)));
    }
    ToneResult result{};
    for (std::size_t b = 0; b < 4; ++b) {
        result.bandDecibels[b] = toDecibels(std::sqrt(bandEnergy[b] / inputEnergy));
    }
    result.largestSumError = largestSumError;
    return result;
}

void printBankTable() {
    std::printf(
        "Band levels in dB relative to a full-scale sine, crossovers %.0f, %.0f, %.0f Hz"
        " at %.0f Hz\n\n",
        static_cast<double>(kCrossovers[0]), static_cast<double>(kCrossovers[1]),
        static_cast<double>(kCrossovers[2]), static_cast<double>(kSampleRate));
    std::printf("%-20s %8s %8s %8s %8s %8s %11s\n", "bank", "tone Hz", "band 0", "band 1", "band 2",
                "band 3", "sum error");
    for (const dsp::FilterBankEntry& entry : dsp::kFilterBankList) {
        const std::unique_ptr<dsp::BandSplitter> bank(entry.create());
        bank->setFrequencies(kCrossovers.data(), kSampleRate);
        for (float frequency : kToneFrequencies) {
            const ToneResult result = measureTone(*bank, frequency);
            std::printf("%-20s %8.0f %8.1f %8.1f %8.1f %8.1f %11.1e\n", entry.displayName,
                        static_cast<double>(frequency), result.bandDecibels[0],
                        result.bandDecibels[1], result.bandDecibels[2], result.bandDecibels[3],
                        result.largestSumError);
        }
    }
}

// A constant level on every band until the envelopes have settled; the
// output over the input is the compressor's static gain at that level.
double staticGain(bool squareRootMode, float level) {
    dsp::BandDynamics dynamics;
    const std::array<float, 4> ones{1.0f, 1.0f, 1.0f, 1.0f};
    dynamics.configure(kCrossovers.data(), kSampleRate, 1.0f, ones.data(), 0.3f, ones.data(), 0.1f,
                       0.5f, squareRootMode);
    std::array<float, 64> left{};
    std::array<float, 64> right{};
    for (int n = 0; n < 4 * 44100; ++n) {
        std::fill(left.begin(), left.begin() + 4, level);
        std::fill(right.begin(), right.begin() + 4, level);
        dynamics.processBands(left.data(), right.data());
    }
    return static_cast<double>(left[0]) / static_cast<double>(level);
}

void printDynamicsTable() {
    std::printf(
        "\nBand compressor static gain at the default settings (drive 0 dB, out 0.3,"
        " release 0.1 s), constant level on both channels\n\n");
    std::printf("%10s %14s %14s %14s %14s\n", "level dB", "plain out dB", "plain gain dB",
                "sqrt out dB", "sqrt gain dB");
    for (double levelDecibels : {-60.0, -40.0, -20.0, -12.0, -6.0, 0.0, 6.0, 12.0}) {
        const auto level = static_cast<float>(std::pow(10.0, levelDecibels / 20.0));
        const double plain = staticGain(false, level);
        const double squareRoot = staticGain(true, level);
        std::printf("%10.1f %14.2f %14.2f %14.2f %14.2f\n", levelDecibels,
                    levelDecibels + toDecibels(plain), toDecibels(plain),
                    levelDecibels + toDecibels(squareRoot), toDecibels(squareRoot));
    }
}

}  // namespace

int main() {
    printBankTable();
    printDynamicsTable();
    return 0;
}
