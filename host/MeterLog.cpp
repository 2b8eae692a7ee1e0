#include "MeterLog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace host {

MeterLog::MeterLog(std::vector<Control> meters, double sampleRate)
    : meters_(std::move(meters)), sampleRate_(sampleRate) {}

void MeterLog::record(std::int64_t start, std::int32_t frames, const Plugin& plugin) {
    starts_.push_back(start);
    frames_.push_back(frames);
    for (std::size_t m = 0; m < meters_.size(); ++m) values_.push_back(plugin.meter(m));
}

double MeterLog::time(std::size_t block) const {
    return static_cast<double>(starts_.at(block)) / sampleRate_;
}

double MeterLog::value(std::size_t block, std::size_t meter) const {
    return values_.at(block * meters_.size() + meter);
}

std::vector<MeterSummary> MeterLog::summarise() const {
    std::vector<MeterSummary> summaries(meters_.size());
    double totalFrames = 0.0;
    for (const std::int32_t frames : frames_) totalFrames += frames;
    for (std::size_t m = 0; m < meters_.size(); ++m) {
        MeterSummary& summary = summaries[m];
        double weighted = 0.0;
        for (std::size_t b = 0; b < starts_.size(); ++b) {
            const double v = value(b, m);
            weighted += v * frames_[b];
            if (b == 0 || std::fabs(v) > std::fabs(summary.deepest)) {
                summary.deepest = v;
                summary.deepestTime = time(b);
            }
        }
        summary.mean = totalFrames > 0.0 ? weighted / totalFrames : 0.0;
    }
    return summaries;
}

void MeterLog::printSummary(std::ostream& out) const {
    const std::vector<MeterSummary> summaries = summarise();
    std::size_t width = 5;
    for (const Control& meter : meters_) width = std::max(width, meter.name.size());
    const int nw = static_cast<int>(std::min<std::size_t>(width, 40));
    char line[256];
    std::snprintf(line, sizeof line, "%-*s  %-8s %10s %10s %10s\n", nw, "meter", "unit", "mean",
                  "deepest", "at (s)");
    out << line;
    for (std::size_t m = 0; m < meters_.size(); ++m) {
        std::snprintf(line, sizeof line, "%-*s  %-8s %10.2f %10.2f %10.3f\n", nw,
                      meters_[m].name.c_str(), meters_[m].unit.c_str(), summaries[m].mean,
                      summaries[m].deepest, summaries[m].deepestTime);
        out << line;
    }
}

void MeterLog::writeCsv(std::ostream& out) const {
    out << "time";
    for (const Control& meter : meters_) out << ',' << meter.id;
    out << '\n';
    char number[32];
    for (std::size_t b = 0; b < starts_.size(); ++b) {
        std::snprintf(number, sizeof number, "%.6f", time(b));
        out << number;
        for (std::size_t m = 0; m < meters_.size(); ++m) {
            std::snprintf(number, sizeof number, "%.9g", value(b, m));
            out << ',' << number;
        }
        out << '\n';
    }
}

}  // namespace host
