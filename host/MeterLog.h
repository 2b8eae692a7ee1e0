// A plug-in's read-only outputs (meters) as a render goes: each one's value
// after every processing call, summarised per output (the mean over time,
// the deepest value and when it came) and written per block as CSV.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "Plugin.h"

namespace host {

struct MeterSummary {
    double mean = 0.0;         // weighted by each block's frames
    double deepest = 0.0;      // the value farthest from 0
    double deepestTime = 0.0;  // seconds from the start to the block that read it
};

class MeterLog final {
  public:
    MeterLog(std::vector<Control> meters, double sampleRate);

    // The plug-in's meters after the block of `frames` frames at `start`.
    void record(std::int64_t start, std::int32_t frames, const Plugin& plugin);

    const std::vector<Control>& meters() const { return meters_; }
    std::size_t blockCount() const { return starts_.size(); }
    // The block's start in seconds, and a meter's value after it.
    double time(std::size_t block) const;
    double value(std::size_t block, std::size_t meter) const;

    std::vector<MeterSummary> summarise() const;
    // One line per meter: name, mean, deepest and its time, in the meter's unit.
    void printSummary(std::ostream& out) const;
    // A header line (time, then each meter's id), then one line per block.
    void writeCsv(std::ostream& out) const;

  private:
    std::vector<Control> meters_;
    double sampleRate_;
    std::vector<std::int64_t> starts_;
    std::vector<std::int32_t> frames_;
    std::vector<double> values_;  // block by block, every meter in order
};

}  // namespace host
