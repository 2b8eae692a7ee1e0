// Renders one fixed scene through a plug-in library loaded as the host loads it,
// or compares two such renders. The Linux build and both Windows builds run
// the same scene, so their outputs can be compared sample by sample.
//
//   plugin_render PLUGIN OUTPUT            writes the output as raw 32-bit floats
//   plugin_render --compare A B MAX_ULP    exit status 0 when no sample of A and B
//                                          differs by more than MAX_ULP units in
//                                          the last place; prints what it found
//
// The input is made with integer and basic floating-point arithmetic only, so
// it is bit-identical on every platform whatever its mathematical library.
#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "PluginHarness.h"
#include "binding/AEffect.h"

namespace {

constexpr std::int32_t kSegmentFrames = 6000;
constexpr std::int32_t kBankCount = 12;
constexpr std::int32_t kMaxBlock = 1031;
// Block lengths cycled through: short, odd and up to the announced block size.
constexpr std::int32_t kBlockSizes[] = {64, 1, 517, 1031, 3, 256};

// Deterministic stereo test signal: two tones whose level swells and falls,
// plus a little noise that differs between the channels.
class SceneSignal final {
  public:
    void next(float& left, float& right) {
        // Resonator tones: x[n] = 2c x[n-1] - x[n-2], c = cos(2 pi f / 48000).
        const double low = 2.0 * 0.9982874907 * lowNow_ - lowBefore_;  // about 280 Hz
        lowBefore_ = lowNow_;
        lowNow_ = low;
        const double high = 2.0 * 0.8090169944 * highNow_ - highBefore_;  // 4800 Hz
        highBefore_ = highNow_;
        highNow_ = high;
        // A triangle swell over 16384 frames, from near silence to 2.5.
        const std::uint32_t phase = frame_++ % 16384u;
        const double swell = (phase < 8192u ? phase : 16384u - phase) / 8192.0;
        const double level = 0.001 + 2.5 * swell;
        left = static_cast<float>(level * (0.6 * low + 0.3 * high) + 0.05 * noise());
        right = static_cast<float>(level * (0.5 * low - 0.35 * high) + 0.05 * noise());
    }

  private:
    double noise() {
        seed_ = seed_ * 1664525u + 1013904223u;
        return static_cast<double>(static_cast<std::int32_t>(seed_)) / 2147483648.0;
    }

    double lowNow_ = 0.0584975;  // sin of one step, so the tone starts at phase 0
    double lowBefore_ = 0.0;
    double highNow_ = 0.5877852523;
    double highBefore_ = 0.0;
    std::uint32_t frame_ = 0;
    std::uint32_t seed_ = 12345u;
};

struct Setting {
    std::int32_t index;
    float value;
};

// Position of choice `choice` of `count` in the middle of its slice.
float choicePosition(std::int32_t choice, std::int32_t count) {
    return (static_cast<float>(choice) + 0.5f) / static_cast<float>(count);
}

// Settings for segment `segment`: every bank in turn, with the other controls
// moved so that both gain laws, linking, clipping and the listen choice are used.
std::vector<Setting> segmentSettings(std::int32_t segment) {
    const float step = static_cast<float>(segment) / static_cast<float>(kBankCount - 1);
    return {
        {param::filterBank, choicePosition(segment, kBankCount)},
        {param::listenTo, choicePosition(segment % 7 == 6 ? 3 : 0, 5)},  // All, or Band 2
        {param::masterDrive, 0.3f + 0.5f * step},
        {param::masterOut, 0.7f - 0.3f * step},
        {param::release, 0.2f + 0.6f * step},
        {param::stereoSeparation, 1.0f - step},
        {param::compressorMode, choicePosition(segment % 2, 2)},  // A or B
        {param::clipOnOff, segment % 3 == 2 ? 1.0f : 0.0f},
        {param::crossoverFreq0, 0.25f + 0.1f * step},
        {param::crossoverFreq1, 0.5f - 0.05f * step},
        {param::crossoverFreq2, 0.7f + 0.2f * step},
        {param::driveAdjust0, 0.6f},
        {param::driveAdjust1, 0.4f + 0.3f * step},
        {param::driveAdjust2, 0.55f},
        {param::driveAdjust3, 0.8f - 0.4f * step},
        {param::outAdjust0, 0.5f},
        {param::outAdjust1, 0.45f},
        {param::outAdjust2, 0.6f * step + 0.2f},
        {param::outAdjust3, 0.5f},
    };
}

std::vector<float> render(const std::string& pluginPath) {
    host::PluginInstance plugin(pluginPath, 48000.0, kMaxBlock);
    host::ProcessingSession session(plugin);

    SceneSignal signal;
    std::vector<float> inLeft(kMaxBlock), inRight(kMaxBlock);
    std::vector<float> outLeft(kMaxBlock), outRight(kMaxBlock);
    float* inputs[2] = {inLeft.data(), inRight.data()};
    float* outputs[2] = {outLeft.data(), outRight.data()};
    std::vector<float> rendered;
    rendered.reserve(static_cast<std::size_t>(2 * kBankCount * kSegmentFrames));
    std::size_t blockNumber = 0;

    for (std::int32_t segment = 0; segment < kBankCount; ++segment) {
        for (const Setting& setting : segmentSettings(segment)) {
            plugin.setParameter(setting.index, setting.value);
        }
        for (std::int32_t done = 0; done < kSegmentFrames;) {
            const std::int32_t size =
                std::min(kBlockSizes[blockNumber % std::size(kBlockSizes)], kSegmentFrames - done);
            for (std::int32_t i = 0; i < size; ++i) {
                signal.next(inLeft[static_cast<std::size_t>(i)],
                            inRight[static_cast<std::size_t>(i)]);
            }
            // Every third block accumulates onto what the buffers hold.
            if (blockNumber % 3 == 2) {
                std::fill(outLeft.begin(), outLeft.end(), 0.25f);
                std::fill(outRight.begin(), outRight.end(), -0.125f);
                plugin.processAccumulating(inputs, outputs, size);
            } else {
                plugin.processReplacing(inputs, outputs, size);
            }
            for (std::int32_t i = 0; i < size; ++i) {
                rendered.push_back(outLeft[static_cast<std::size_t>(i)]);
                rendered.push_back(outRight[static_cast<std::size_t>(i)]);
            }
            done += size;
            ++blockNumber;
        }
    }
    return rendered;
}

void writeFile(const std::string& path, const std::vector<float>& samples) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) throw std::runtime_error("cannot write " + path);
    const std::size_t written = std::fwrite(samples.data(), sizeof(float), samples.size(), file);
    if (std::fclose(file) != 0 || written != samples.size()) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::vector<float> readFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) throw std::runtime_error("cannot read " + path);
    std::vector<float> samples;
    float buffer[4096];
    std::size_t count = 0;
    while ((count = std::fread(buffer, sizeof(float), std::size(buffer), file)) > 0) {
        samples.insert(samples.end(), buffer, buffer + count);
    }
    std::fclose(file);
    return samples;
}

// Distance in units in the last place: the float bit patterns mapped onto one
// monotonic integer line, so neighbouring floats are 1 apart across zero too.
std::int64_t ulpDistance(float a, float b) {
    auto line = [](float x) {
        std::int32_t bits = 0;
        std::memcpy(&bits, &x, sizeof(bits));
        return bits < 0 ? std::int64_t{INT32_MIN} - bits : std::int64_t{bits};
    };
    const std::int64_t distance = line(a) - line(b);
    return distance < 0 ? -distance : distance;
}

int compare(const std::string& pathA, const std::string& pathB, std::int64_t maxUlp) {
    const std::vector<float> a = readFile(pathA);
    const std::vector<float> b = readFile(pathB);
    if (a.empty() || a.size() != b.size()) {
        std::printf("renders differ in length: %zu and %zu samples\n", a.size(), b.size());
        return 1;
    }
    std::int64_t worstUlp = 0;
    std::size_t worstAt = 0;
    std::size_t differing = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const std::int64_t distance = ulpDistance(a[i], b[i]);
        if (distance != 0) ++differing;
        if (distance > worstUlp) {
            worstUlp = distance;
            worstAt = i;
        }
    }
    std::printf("%zu samples, %zu differ, largest difference %" PRId64 " ulp", a.size(), differing,
                worstUlp);
    if (worstUlp > 0) {
        std::printf(" (%.9g against %.9g at sample %zu)", static_cast<double>(a[worstAt]),
                    static_cast<double>(b[worstAt]), worstAt);
    }
    std::printf("; allowed %" PRId64 " ulp\n", maxUlp);
    return worstUlp <= maxUlp ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 5 && std::string(argv[1]) == "--compare") {
            return compare(argv[2], argv[3], std::strtoll(argv[4], nullptr, 10));
        }
        if (argc == 3) {
            writeFile(argv[2], render(argv[1]));
            return 0;
        }
        std::fprintf(stderr, "usage: %s PLUGIN OUTPUT | --compare A B MAX_ULP\n", argv[0]);
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "plugin_render: %s\n", error.what());
        return 1;
    }
}
