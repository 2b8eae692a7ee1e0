#include "PluginHarness.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace testhost {

std::string pluginPath() {
    if (const char* path = std::getenv("PLUGIN_PATH")) return path;
    return PLUGIN_LIBRARY_PATH;
}

std::shared_ptr<const host::PluginLibrary> sharedLibrary() {
    static const auto library = std::make_shared<const host::PluginLibrary>(pluginPath());
    return library;
}

Stereo render(host::PluginInstance& plugin, const Stereo& in, std::size_t block) {
    const std::size_t total = in.frames();
    const std::size_t step = block == 0 ? total : block;
    Stereo out(total);
    for (std::size_t start = 0; start < total; start += step) {
        const std::size_t frames = std::min(total - start, step);
        plugin.processReplacing(in.left.data() + start, in.right.data() + start,
                                out.left.data() + start, out.right.data() + start,
                                static_cast<std::int32_t>(frames));
    }
    return out;
}

std::vector<float> sine(double frequency, double amplitude, std::size_t frames, double sampleRate) {
    std::vector<float> samples(frames);
    const double step = 2.0 * 3.14159265358979323846 * frequency / sampleRate;
    for (std::size_t i = 0; i < frames; ++i) {
        samples[i] = static_cast<float>(amplitude * std::sin(step * static_cast<double>(i)));
    }
    return samples;
}

std::vector<float> noise(std::uint32_t seed, double amplitude, std::size_t frames) {
    std::vector<float> samples(frames);
    std::uint32_t state = seed;
    for (float& sample : samples) {
        state = state * 1103515245u + 12345u;
        const double unit = static_cast<double>(state >> 8) / 16777216.0;  // [0, 1)
        sample = static_cast<float>(amplitude * (2.0 * unit - 1.0));
    }
    return samples;
}

bool allFinite(const float* samples, std::size_t count) {
    return std::all_of(samples, samples + count, [](float x) { return std::isfinite(x); });
}

double rmsDecibels(const std::vector<float>& samples, std::size_t from, std::size_t to) {
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) {
        const auto v = static_cast<double>(samples[i]);
        sum += v * v;
    }
    return 10.0 * std::log10(sum / static_cast<double>(to - from));
}

}  // namespace testhost
