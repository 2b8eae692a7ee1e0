// Times plug-ins' processing calls side by side on the same deterministic
// stereo signal. Plug-ins run in interleaved rounds (A B A B ...), so drifts of
// the machine's speed touch all of them alike; only the processing calls are
// timed, never the host's copying.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "ParameterSetter.h"

namespace host {

struct BenchEntry {
    std::string path;
    std::string preset;  // optional preset (or VST 2 program file) applied before the settings
    std::vector<ParameterAssignment> settings;
};

struct BenchOptions {
    double sampleRate = 48000.0;
    double seconds = 60.0;
    std::int32_t blockSize = 512;
    int rounds = 5;
    bool quiet = false;
};

struct BenchResult {
    std::string name;                   // the plug-in's name
    std::string format;                 // "VST 2", "VST 3", "LV2", "CLAP"
    std::string file;                   // the library's file name
    std::vector<std::string> settings;  // "Name = display unit" of each setting made
    std::vector<double> nsPerFrame;     // one figure per round
    double median = 0.0;
    double min = 0.0;
    double max = 0.0;
};

// Splits the bench command's words into entries: each word that is not an
// option starts a new plug-in; --set, --set-norm and --preset (with a value,
// as "--set X" or "--set=X") belong to the plug-in before them.
std::vector<BenchEntry> parseBenchEntries(const std::vector<std::string>& words);

std::vector<BenchResult> runBench(const std::vector<BenchEntry>& entries,
                                  const BenchOptions& options);

// The plug-ins, lettered A, B, ... with the settings each got, then the
// table: per plug-in the median ns per stereo frame with min and max, the
// real-time factor and the ratio to the first plug-in.
void printBenchTable(const std::vector<BenchResult>& results, const BenchOptions& options,
                     std::ostream& out);

}  // namespace host
