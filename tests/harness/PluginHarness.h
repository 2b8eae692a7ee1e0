// The one harness of the tests, also used by the benchmarks that load the
// built plug-in: where the plug-in under test is, one loaded copy of it shared
// by every instance, an instance opened as a host opens it (through the
// host's loader, host/PluginInstance.h), and the signals and measures the
// tests share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "PluginInstance.h"
#include "effect/ParameterIndex.h"

// Parameters by name, as in plugin.setParameter(param::filterBank, 0.5f).
namespace param = effect::param;

namespace testhost {

// Path of the plug-in library under test: the PLUGIN_PATH environment
// variable when set, otherwise the path the build compiled in.
std::string pluginPath();

// The library shared by all tests of one executable, loaded once. Throws
// host::HostError when it cannot be loaded.
std::shared_ptr<const host::PluginLibrary> sharedLibrary();

// The rate the tests' instances are opened at, the effect's own default.
inline constexpr double kSampleRate = 44100.0;
// The largest block a test hands to one call.
inline constexpr std::int32_t kLargestBlock = 16384;

// One instance of the plug-in under test: made by its entry, opened and told
// the rate and the largest block; closed on destruction.
class Plugin final : public host::PluginInstance {
  public:
    Plugin() : PluginInstance(sharedLibrary(), kSampleRate, kLargestBlock) {}
};

// Two channels of samples.
struct Stereo {
    std::vector<float> left;
    std::vector<float> right;

    explicit Stereo(std::size_t frames, float fill = 0.0f)
        : left(frames, fill), right(frames, fill) {}
    Stereo(std::vector<float> l, std::vector<float> r) : left(std::move(l)), right(std::move(r)) {}
    std::size_t frames() const { return left.size(); }
    bool operator==(const Stereo& other) const {
        return left == other.left && right == other.right;
    }
};

// The input through processReplacing: in one call, or in blocks of `block`
// frames (the last one shorter).
Stereo render(host::PluginInstance& plugin, const Stereo& in, std::size_t block = 0);

// Deterministic test signals.
std::vector<float> sine(double frequency, double amplitude, std::size_t frames,
                        double sampleRate = kSampleRate);
std::vector<float> noise(std::uint32_t seed, double amplitude, std::size_t frames);

// Measures.
bool allFinite(const float* samples, std::size_t count);
// The level of samples [from, to) in dB relative to a full-scale square wave.
double rmsDecibels(const std::vector<float>& samples, std::size_t from, std::size_t to);

}  // namespace testhost
