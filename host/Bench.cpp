#include "Bench.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "BlockBuffers.h"
#include "DemoSignal.h"
#include "FpuState.h"
#include "HostError.h"
#include "Plugin.h"
#include "PluginSettings.h"
#include "ProgressBar.h"

namespace host {

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

// One plug-in under test, running for the whole bench.
struct Contestant {
    std::unique_ptr<Plugin> plugin;
    std::unique_ptr<BlockBuffers> buffers;
    BenchResult result;
};

// Processing time in nanoseconds for one pass over the signal.
double timePass(Contestant& contestant, const AudioBuffer& signal, std::int32_t blockSize) {
    using Clock = std::chrono::steady_clock;
    Plugin& plugin = *contestant.plugin;
    BlockBuffers& buffers = *contestant.buffers;
    const auto total = static_cast<std::int64_t>(signal.frames());
    Clock::duration spent{};
    FpuState::processDefault().restore();
    for (std::int64_t start = 0; start < total; start += blockSize) {
        const auto frames =
            static_cast<std::int32_t>(std::min<std::int64_t>(blockSize, total - start));
        buffers.loadInputs(signal, start, frames);
        const auto before = Clock::now();
        plugin.process(buffers.inputPointers(), buffers.outputPointers(), frames);
        spent += Clock::now() - before;
    }
    return static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(spent).count());
}

}  // namespace

std::vector<BenchEntry> parseBenchEntries(const std::vector<std::string>& words) {
    std::vector<BenchEntry> entries;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.rfind("--", 0) != 0) {
            entries.push_back({word, {}, {}});
            continue;
        }
        const auto equals = word.find('=');
        const std::string option = word.substr(0, equals);
        std::string value;
        if (equals != std::string::npos) {
            value = word.substr(equals + 1);
        } else if (i + 1 < words.size()) {
            value = words[++i];
        } else {
            throw HostError("bench: " + option + " needs a value");
        }
        if (entries.empty()) throw HostError("bench: " + option + " comes before any plug-in");
        if (option == "--set" || option == "--set-norm") {
            entries.back().settings.push_back(parseAssignment(value, option == "--set-norm"));
        } else if (option == "--preset") {
            entries.back().preset = value;
        } else {
            throw HostError("bench: unknown option " + option);
        }
    }
    if (entries.empty()) throw HostError("bench: name at least one plug-in");
    return entries;
}

std::vector<BenchResult> runBench(const std::vector<BenchEntry>& entries,
                                  const BenchOptions& options) {
    if (options.rounds < 1) throw HostError("bench: rounds must be at least 1");
    if (options.blockSize < 1) throw HostError("bench: block size must be at least 1");
    if (!(options.seconds > 0.0)) throw HostError("bench: the signal must be longer than 0 s");
    const AudioBuffer signal = makeDemoSignal(options.sampleRate, options.seconds);

    std::vector<Contestant> contestants;
    for (const BenchEntry& entry : entries) {
        Contestant contestant;
        contestant.plugin = loadPlugin(entry.path, options.sampleRate, options.blockSize);
        Plugin& plugin = *contestant.plugin;
        if (plugin.outputs() < 1 || plugin.inputs() > 64 || plugin.outputs() > 64) {
            throw HostError("bench: '" + entry.path + "' has no usable audio outputs");
        }
        for (const AppliedSetting& setting : applySettings(plugin, entry.preset, entry.settings)) {
            contestant.result.settings.push_back(setting.name + " = " + setting.display);
        }
        contestant.result.name = plugin.name();
        contestant.result.format = formatName(plugin.format());
        contestant.result.file = std::filesystem::path(entry.path).filename().string();
        contestant.buffers =
            std::make_unique<BlockBuffers>(plugin.inputs(), plugin.outputs(), options.blockSize);
        plugin.activate();
        contestants.push_back(std::move(contestant));
    }

    ProgressBar progress("bench", options.quiet);
    const double passes =
        static_cast<double>(options.rounds) * static_cast<double>(contestants.size());
    double done = 0.0;
    for (int round = 0; round < options.rounds; ++round) {
        for (Contestant& contestant : contestants) {
            const double ns = timePass(contestant, signal, options.blockSize);
            contestant.result.nsPerFrame.push_back(ns / static_cast<double>(signal.frames()));
            progress.update(++done / passes);
        }
    }

    std::vector<BenchResult> results;
    for (Contestant& contestant : contestants) {
        contestant.plugin->deactivate();
        BenchResult& result = contestant.result;
        result.median = median(result.nsPerFrame);
        result.min = *std::min_element(result.nsPerFrame.begin(), result.nsPerFrame.end());
        result.max = *std::max_element(result.nsPerFrame.begin(), result.nsPerFrame.end());
        results.push_back(result);
    }
    return results;
}

void printBenchTable(const std::vector<BenchResult>& results, const BenchOptions& options,
                     std::ostream& out) {
    const auto letter = [](std::size_t i) {
        return std::string(1, static_cast<char>('A' + i % 26));
    };
    for (std::size_t i = 0; i < results.size(); ++i) {
        std::string settings;
        for (const auto& setting : results[i].settings) {
            settings += (settings.empty() ? "" : ", ") + setting;
        }
        out << letter(i) << "  " << results[i].name << " (" << results[i].format << ", "
            << results[i].file << "): " << (settings.empty() ? "default settings" : settings)
            << "\n";
    }
    char line[512];
    std::snprintf(line, sizeof line,
                  "signal: %.0f s stereo at %.0f Hz, block %d, %d interleaved rounds\n",
                  options.seconds, options.sampleRate, options.blockSize, options.rounds);
    out << line;
    std::snprintf(line, sizeof line, "   %-32s %10s %10s %10s %10s %8s\n", "plug-in", "median",
                  "min", "max", "real-time", "ratio");
    out << line;
    std::snprintf(line, sizeof line, "   %-32s %10s %10s %10s %10s %8s\n", "", "ns/frame",
                  "ns/frame", "ns/frame", "factor", "to A");
    out << line;
    const double first = results.empty() ? 0.0 : results.front().median;
    for (std::size_t i = 0; i < results.size(); ++i) {
        const BenchResult& result = results[i];
        const double realTime = 1e9 / (result.median * options.sampleRate);
        std::snprintf(line, sizeof line, "%s  %-32s %10.1f %10.1f %10.1f %9.0fx %8.2f\n",
                      letter(i).c_str(), result.name.substr(0, 32).c_str(), result.median,
                      result.min, result.max, realTime, first > 0.0 ? result.median / first : 0.0);
        out << line;
    }
}

}  // namespace host
