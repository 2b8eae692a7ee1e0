// The null test: two audio files compared sample by sample, their headers
// ignored (libsndfile stamps the time of writing into float WAV files).
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace host {

struct AudioFileFacts {
    std::string path;
    std::int64_t frames = 0;
    int channels = 0;
    int sampleRate = 0;
    std::string sampleFormat;
};

class AudioComparison {
  public:
    // Compares frame i of A with frame i + offset of B (B late by `offset`
    // frames; negative: early), over the frames both files have. Samples are
    // read as double, which holds every float, double and integer sample of
    // 32 bits or fewer exactly, so equal bits there are equal bits in the files.
    // Throws HostError when the two cannot be compared: a file missing or
    // unreadable, different channel counts or rates, no frame in common.
    AudioComparison(const std::string& pathA, const std::string& pathB, std::int64_t offset);

    // Every compared sample the same bits, and, without an offset, the same length.
    bool identical() const;
    // Every compared sample within maxDiff (or, without one, identical()).
    bool matches(std::optional<double> maxDiff) const;
    void print(std::ostream& out, std::optional<double> maxDiff) const;

  private:
    bool lengthsAgree() const;

    AudioFileFacts a_;
    AudioFileFacts b_;
    std::int64_t offset_;
    std::int64_t comparedFrames_ = 0;
    std::optional<std::int64_t> firstDifference_;
    std::vector<double> largestDifference_;
    double sumOfSquares_ = 0.0;
};

// "0.001" (linear) or "-120dB": a largest allowed difference; HostError otherwise.
double parseDifferenceLimit(const std::string& text);

}  // namespace host
