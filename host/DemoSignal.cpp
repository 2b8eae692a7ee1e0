#include "DemoSignal.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace host {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kBeat = 0.5;  // seconds, 120 bpm
constexpr double kBar = 4 * kBeat;
constexpr double kPeak = 0.70794578;  // -3 dBFS

// xorshift32: the same noise on every platform and run.
class Noise final {
  public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    double next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(state_) / 2147483648.0 - 1.0;
    }

  private:
    std::uint32_t state_;
};

double noteHz(int midi) {
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

// Bass notes per beat over the 4-bar cycle, and the chord of each bar.
constexpr std::array<int, 16> kBassLine = {40, 40, 43, 45, 36, 36, 40, 43,
                                           43, 43, 47, 50, 38, 38, 42, 45};
constexpr std::array<std::array<int, 3>, 4> kChords = {{{52, 55, 59},    // E minor
                                                        {48, 52, 55},    // C major
                                                        {55, 59, 62},    // G major
                                                        {50, 54, 57}}};  // D major

// A band-limited-enough sawtooth with few harmonics: a bass, not a buzzer.
double sawtooth(double phase) {
    double sum = 0.0;
    for (int k = 1; k <= 6; ++k) sum += std::sin(2.0 * kPi * k * phase) / k;
    return sum * 0.55;
}

// Odd harmonics falling with the square: a soft pad voice.
double pad(double phase) {
    return std::sin(2.0 * kPi * phase) + std::sin(6.0 * kPi * phase) / 9.0 +
           std::sin(10.0 * kPi * phase) / 25.0;
}

}  // namespace

AudioBuffer makeDemoSignal(double sampleRate, double seconds) {
    const auto frames = static_cast<std::size_t>(std::max(0.0, seconds * sampleRate));
    AudioBuffer audio;
    audio.sampleRate = sampleRate;
    audio.channels.assign(2, std::vector<float>(frames));

    Noise snareNoise(0x1234567u);
    Noise hatNoise(0x89abcdeu);
    Noise floorLeft(0x2468aceu);
    Noise floorRight(0x13579bdu);
    double hatPrevious = 0.0;
    std::array<double, 2> samplePeak{};
    std::vector<double> left(frames);
    std::vector<double> right(frames);

    for (std::size_t n = 0; n < frames; ++n) {
        const double t = static_cast<double>(n) / sampleRate;
        const double cycleTime = std::fmod(t, 4 * kBar);
        const auto bar = static_cast<int>(cycleTime / kBar);
        const auto beat = static_cast<int>(cycleTime / kBeat);
        const double inBeat = cycleTime - beat * kBeat;
        const double inEighth = std::fmod(cycleTime, kBeat / 2);
        const bool drums = bar > 0;

        double l = 0.0;
        double r = 0.0;

        if (drums && (beat % 2 == 0)) {  // kick on beats 1 and 3: a falling sine
            const double sweep = 50.0 * inBeat + 100.0 * 0.03 * (1.0 - std::exp(-inBeat / 0.03));
            const double kick = 0.8 * std::exp(-inBeat / 0.22) * std::sin(2.0 * kPi * sweep);
            l += kick;
            r += kick;
        }
        if (drums && (beat % 2 == 1)) {  // snare on 2 and 4: noise and a tone
            const double snare =
                0.45 * std::exp(-inBeat / 0.07) * snareNoise.next() +
                0.3 * std::exp(-inBeat / 0.04) * std::sin(2.0 * kPi * 190.0 * inBeat);
            l += 0.9 * snare;
            r += snare;
        }
        if (drums) {  // hi-hat on eighths: differenced noise is bright
            const double white = hatNoise.next();
            const double hat = 0.12 * std::exp(-inEighth / 0.015) * (white - hatPrevious);
            hatPrevious = white;
            l += 0.7 * hat;
            r += hat;
        }

        {  // bass, one note per beat with a short attack and a decay
            const double hz = noteHz(kBassLine[static_cast<std::size_t>(beat)]);
            const double envelope = std::min(1.0, inBeat / 0.005) *
                                    (0.6 + 0.4 * std::exp(-inBeat / 0.1)) *
                                    std::min(1.0, (kBeat - inBeat) / 0.01);
            const double bass = 0.3 * envelope * sawtooth(hz * t);
            l += bass;
            r += bass;
        }

        {  // chord, held for the bar, voices spread across the stereo field
            const double inBar = cycleTime - bar * kBar;
            const double envelope =
                std::min(1.0, inBar / 0.3) * std::min(1.0, (kBar - inBar) / 0.05);
            const auto& chord = kChords[static_cast<std::size_t>(bar)];
            for (std::size_t v = 0; v < chord.size(); ++v) {
                const double voice = 0.07 * envelope * pad(noteHz(chord[v]) * t);
                const double pan = 0.2 + 0.3 * static_cast<double>(v);  // 0 left .. 1 right
                l += voice * std::cos(pan * kPi / 2);
                r += voice * std::sin(pan * kPi / 2);
            }
        }

        l += 0.004 * floorLeft.next();
        r += 0.004 * floorRight.next();
        left[n] = l;
        right[n] = r;
        samplePeak[0] = std::max(samplePeak[0], std::fabs(l));
        samplePeak[1] = std::max(samplePeak[1], std::fabs(r));
    }

    const double peak = std::max(samplePeak[0], samplePeak[1]);
    const double scale = peak > 0.0 ? kPeak / peak : 1.0;
    for (std::size_t n = 0; n < frames; ++n) {
        audio.channels[0][n] = static_cast<float>(left[n] * scale);
        audio.channels[1][n] = static_cast<float>(right[n] * scale);
    }
    return audio;
}

}  // namespace host
