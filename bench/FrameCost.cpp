// frame_cost BANK MODE FRAMES: loads the built plug-in, selects filter bank
// BANK (0..11) and compressor mode MODE (0 = A, 1 = B), settles the effect
// on the music-like signal, then processes FRAMES stereo frames in blocks of
// 512 inside processFrames, the one function that scripts/callgrind-banks
// has callgrind count (--toggle-collect), so that loading, set-up and
// warm-up stay out of the count. Prints the bank's and mode's display texts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "MusicSignal.h"
#include "PluginHarness.h"
#include "PluginInstance.h"

namespace {

constexpr float kSampleRate = 48000.0f;
constexpr std::size_t kBlock = 512;
constexpr std::size_t kWarmUpFrames = 48 * kBlock;  // about 0.5 s
constexpr int kBanks = 12;

int usage() {
    std::fprintf(stderr, "usage: frame_cost BANK(0-11) MODE(0-1) FRAMES(multiple of %zu)\n",
                 kBlock);
    return 2;
}

bool parse(const char* text, long low, long high, long& value) {
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && value >= low && value <= high;
}

}  // namespace

// Processes `frames` frames of `in`, starting at `start`, in blocks of 512.
// Not inlined: callgrind collects exactly the cost of this call.
[[gnu::noinline]] void processFrames(host::PluginInstance& plugin, const bench::StereoSignal& in,
                                     std::size_t start, std::size_t frames, float* outLeft,
                                     float* outRight) {
    for (std::size_t position = start; position < start + frames; position += kBlock) {
        plugin.processReplacing(&in.left[position], &in.right[position], outLeft, outRight,
                                static_cast<std::int32_t>(kBlock));
    }
}

int main(int argc, char** argv) {
    long bank = 0;
    long mode = 0;
    long frames = 0;
    if (argc != 4 || !parse(argv[1], 0, kBanks - 1, bank) || !parse(argv[2], 0, 1, mode) ||
        !parse(argv[3], 1, 1L << 30, frames) || frames % static_cast<long>(kBlock) != 0) {
        return usage();
    }
    try {
        host::PluginInstance plugin(testhost::pluginPath(), kSampleRate,
                                    static_cast<std::int32_t>(kBlock));
        host::ProcessingSession running(plugin);
        plugin.setParameter(param::filterBank, static_cast<float>(bank) / (kBanks - 1));
        plugin.setParameter(param::compressorMode, static_cast<float>(mode));

        const auto measured = static_cast<std::size_t>(frames);
        const bench::StereoSignal in = bench::musicSignal(kWarmUpFrames + measured, kSampleRate);
        std::vector<float> outLeft(kBlock);
        std::vector<float> outRight(kBlock);
        for (std::size_t position = 0; position < kWarmUpFrames; position += kBlock) {
            plugin.processReplacing(&in.left[position], &in.right[position], outLeft.data(),
                                    outRight.data(), static_cast<std::int32_t>(kBlock));
        }
        processFrames(plugin, in, kWarmUpFrames, measured, outLeft.data(), outRight.data());
        std::printf("%s\t%s\n", plugin.parameterDisplay(param::filterBank).c_str(),
                    plugin.parameterDisplay(param::compressorMode).c_str());
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "frame_cost: %s\n", failure.what());
        return 1;
    }
    return 0;
}
