// Whole renders at a set of settings compared with references stored in the
// repository. They guard the sound against unintended change, for example
// during optimisation. Regenerate with UPDATE_RENDER_REFERENCES=1 only after
// every analytical test passes and a change of sound is intended (see
// docs/TESTING.md).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "PluginHarness.h"

namespace {

constexpr std::size_t kSampleRate = 44100;
constexpr std::size_t kFrames = 3 * kSampleRate;
constexpr std::size_t kStatBlock = 32;
constexpr std::size_t kHostBlock = 512;

// A few seconds that exercise every band and both ends of the dynamics: a
// seeded noise burst, two sines, a decaying low transient and a quiet tail.
testhost::Stereo regressionSignal() {
    testhost::Stereo signal(kFrames);
    const std::vector<float> burst = testhost::noise(20261207u, 0.5, kFrames);
    const double twoPi = 2.0 * 3.14159265358979323846;
    for (std::size_t i = 0; i < kFrames; ++i) {
        const double t = static_cast<double>(i) / static_cast<double>(kSampleRate);
        double l = 0.25 * std::sin(twoPi * 98.0 * t) + 0.1 * std::sin(twoPi * 3150.0 * t);
        double r = 0.2 * std::sin(twoPi * 147.0 * t) + 0.12 * std::sin(twoPi * 1250.0 * t);
        if (t >= 0.5 && t < 1.0) {
            l += static_cast<double>(burst[i]);
            r += 0.7 * static_cast<double>(burst[kFrames - 1 - i]);
        }
        if (t >= 1.5) {
            const double decay = std::exp(-(t - 1.5) * 8.0);
            const double kick = 0.9 * decay * std::sin(twoPi * 55.0 * (t - 1.5));
            l += kick;
            r += kick;
        }
        if (t >= 2.5) {
            l *= 0.01;
            r *= 0.01;
        }
        signal.left[i] = static_cast<float>(l);
        signal.right[i] = static_cast<float>(r);
    }
    return signal;
}

struct Setting {
    std::string name;
    std::vector<std::pair<std::int32_t, float>> positions;
};

std::vector<Setting> settings() {
    std::vector<Setting> list = {
        {"defaults", {}},
        {"modeB", {{param::compressorMode, 1.0f}}},
        {"listenBand1", {{param::listenTo, 0.5f}}},
        {"clipping",
         {{param::clipOnOff, 1.0f}, {param::masterDrive, 0.6f}, {param::masterOut, 0.9f}}},
        {"driveMax", {{param::masterDrive, 1.0f}}},
        {"driveMin", {{param::masterDrive, 0.0f}}},
        {"bandAdjustExtremes",
         {{param::driveAdjust0, 1.0f},
          {param::driveAdjust1, 0.0f},
          {param::driveAdjust2, 1.0f},
          {param::driveAdjust3, 0.0f},
          {param::outAdjust0, 0.0f},
          {param::outAdjust1, 1.0f},
          {param::outAdjust2, 0.0f},
          {param::outAdjust3, 1.0f}}},
        {"releaseZeroLinked", {{param::release, 0.0f}, {param::stereoSeparation, 0.0f}}},
        {"releaseLongSeparate",
         {{param::release, 0.6f}, {param::stereoSeparation, 1.0f}, {param::compressorMode, 1.0f}}},
        {"crossoversReversed",
         {{param::crossoverFreq0, 0.9f},
          {param::crossoverFreq1, 0.5f},
          {param::crossoverFreq2, 0.1f},
          {param::filterBank, 8.0f / 11.0f}}},
    };
    for (int bank = 0; bank < 12; ++bank) {
        list.push_back(
            {"bank" + std::to_string(bank),
             {{param::filterBank, static_cast<float>(bank) / 11.0f}, {param::masterDrive, 0.5f}}});
    }
    return list;
}

// Mean, RMS and peak per channel over consecutive short blocks.
std::vector<float> blockStatistics(const std::vector<float>& left,
                                   const std::vector<float>& right) {
    std::vector<float> stats;
    for (std::size_t start = 0; start < left.size(); start += kStatBlock) {
        for (const std::vector<float>* channel : {&left, &right}) {
            double sum = 0.0;
            double squares = 0.0;
            double peak = 0.0;
            for (std::size_t i = start; i < start + kStatBlock && i < channel->size(); ++i) {
                const double x = (*channel)[i];
                sum += x;
                squares += x * x;
                peak = std::max(peak, std::fabs(x));
            }
            const auto n = static_cast<double>(kStatBlock);
            stats.push_back(static_cast<float>(sum / n));
            stats.push_back(static_cast<float>(std::sqrt(squares / n)));
            stats.push_back(static_cast<float>(peak));
        }
    }
    return stats;
}

std::string referencePath(const std::string& name) {
    return std::string(RENDER_REFERENCE_DIR) + "/" + name + ".f32";
}

std::vector<float> readReference(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<float> values;
    float value;
    while (file.read(reinterpret_cast<char*>(&value), sizeof value)) values.push_back(value);
    return values;
}

void writeReference(const std::string& path, const std::vector<float>& values) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(values.data()),
               static_cast<std::streamsize>(values.size() * sizeof(float)));
}

// Named in test output by its name; the default printer would dump the
// object's bytes, padding included.
void PrintTo(const Setting& setting, std::ostream* out) {
    *out << setting.name;
}

class RenderRegression : public ::testing::TestWithParam<Setting> {};

}  // namespace

TEST_P(RenderRegression, MatchesStoredReference) {
    static const auto input = regressionSignal();
    const Setting& setting = GetParam();
    testhost::Plugin plugin;
    for (const auto& [index, position] : setting.positions) plugin.setParameter(index, position);
    const testhost::Stereo output = testhost::render(plugin, input, kHostBlock);
    const std::vector<float> stats = blockStatistics(output.left, output.right);

    const std::string path = referencePath(setting.name);
    if (std::getenv("UPDATE_RENDER_REFERENCES") != nullptr) {
        writeReference(path, stats);
        GTEST_SKIP() << "reference rewritten: " << path;
    }
    const std::vector<float> reference = readReference(path);
    ASSERT_EQ(reference.size(), stats.size()) << "missing or truncated reference " << path;
    std::size_t mismatches = 0;
    for (std::size_t i = 0; i < stats.size(); ++i) {
        const float tolerance = 2e-6f + 1e-4f * std::fabs(reference[i]);
        if (!(std::fabs(stats[i] - reference[i]) <= tolerance) && mismatches++ < 5) {
            ADD_FAILURE() << "block " << i / 6 << " statistic " << i % 6 << ": " << stats[i]
                          << " against " << reference[i];
        }
    }
    EXPECT_EQ(mismatches, 0u);
}

INSTANTIATE_TEST_SUITE_P(Settings, RenderRegression, ::testing::ValuesIn(settings()),
                         [](const ::testing::TestParamInfo<Setting>& param) {
                             return param.param.name;
                         });
