#include "AudioComparison.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

#include "HostError.h"

namespace host {

namespace {

constexpr sf_count_t kChunkFrames = 8192;

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};

// One file read forward in chunks of doubles, counting the frames it gives.
class SampleReader {
  public:
    explicit SampleReader(const std::string& path) {
        facts.path = path;
        SF_INFO info{};
        file_.reset(sf_open(path.c_str(), SFM_READ, &info));
        if (!file_) throw HostError("cannot read audio file '" + path + "': " + sf_strerror(nullptr));
        facts.channels = info.channels;
        facts.sampleRate = info.samplerate;
        SF_FORMAT_INFO format{};
        format.format = info.format & SF_FORMAT_SUBMASK;
        facts.sampleFormat = sf_command(nullptr, SFC_GET_FORMAT_INFO, &format, sizeof format) == 0
                                 ? format.name
                                 : "unknown samples";
        samples_.resize(static_cast<std::size_t>(kChunkFrames * info.channels));
    }

    // Up to `frames` (at most kChunkFrames) frames into samples(); 0 at the end.
    std::size_t read(sf_count_t frames) {
        const sf_count_t got = sf_readf_double(file_.get(), samples_.data(), frames);
        if (sf_error(file_.get()) != SF_ERR_NO_ERROR) {
            throw HostError("error reading '" + facts.path + "': " + sf_strerror(file_.get()));
        }
        facts.frames += std::max<sf_count_t>(got, 0);
        return static_cast<std::size_t>(std::max<sf_count_t>(got, 0));
    }
    void skip(std::int64_t frames) {
        std::size_t got = 0;
        while (frames > 0 && (got = read(std::min<std::int64_t>(frames, kChunkFrames))) > 0)
            frames -= static_cast<std::int64_t>(got);
    }
    void readToEnd() {
        while (read(kChunkFrames) > 0) {
        }
    }
    const double* samples() const { return samples_.data(); }

    AudioFileFacts facts;

  private:
    std::unique_ptr<SNDFILE, SndfileCloser> file_;
    std::vector<double> samples_;
};

bool sameBits(double x, double y) { return std::memcmp(&x, &y, sizeof x) == 0; }

std::string decibelText(double linear) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f dBFS", 20.0 * std::log10(linear));
    return text;
}

}  // namespace

AudioComparison::AudioComparison(const std::string& pathA, const std::string& pathB,
                                 std::int64_t offset)
    : offset_(offset) {
    SampleReader a(pathA);
    SampleReader b(pathB);
    if (a.facts.channels != b.facts.channels) {
        throw HostError("'" + pathA + "' has " + std::to_string(a.facts.channels) + " channel(s), '" +
                        pathB + "' has " + std::to_string(b.facts.channels) + " channel(s)");
    }
    if (a.facts.sampleRate != b.facts.sampleRate) {
        throw HostError("'" + pathA + "' is at " + std::to_string(a.facts.sampleRate) + " Hz, '" +
                        pathB + "' at " + std::to_string(b.facts.sampleRate) + " Hz");
    }
    const auto channels = static_cast<std::size_t>(a.facts.channels);
    largestDifference_.assign(channels, 0.0);
    a.skip(-offset);
    b.skip(offset);
    const std::int64_t firstFrameOfA = std::max<std::int64_t>(-offset, 0);
    for (;;) {
        // Both are asked for the same count: the one that gives fewer has ended.
        const std::size_t frames = std::min(a.read(kChunkFrames), b.read(kChunkFrames));
        for (std::size_t i = 0; i < frames * channels; ++i) {
            const double x = a.samples()[i];
            const double y = b.samples()[i];
            if (sameBits(x, y)) continue;
            const std::int64_t frame = firstFrameOfA + comparedFrames_ + static_cast<std::int64_t>(i / channels);
            if (!firstDifference_) firstDifference_ = frame;
            // A NaN on one side only is as far from the other as can be.
            double difference = std::fabs(x - y);
            if (std::isnan(difference)) difference = std::numeric_limits<double>::infinity();
            double& largest = largestDifference_[i % channels];
            largest = std::max(largest, difference);
            sumOfSquares_ += difference * difference;
        }
        comparedFrames_ += static_cast<std::int64_t>(frames);
        if (frames < static_cast<std::size_t>(kChunkFrames)) break;
    }
    a.readToEnd();
    b.readToEnd();
    a_ = a.facts;
    b_ = b.facts;
    if (comparedFrames_ == 0) {
        throw HostError("'" + pathA + "' (" + std::to_string(a_.frames) + " frames) and '" + pathB +
                        "' (" + std::to_string(b_.frames) + " frames) have no frame in common at offset " +
                        std::to_string(offset));
    }
}

bool AudioComparison::lengthsAgree() const { return offset_ != 0 || a_.frames == b_.frames; }

bool AudioComparison::identical() const { return !firstDifference_ && lengthsAgree(); }

bool AudioComparison::matches(std::optional<double> maxDiff) const {
    if (!maxDiff) return identical();
    return lengthsAgree() && std::all_of(largestDifference_.begin(), largestDifference_.end(),
                                         [&](double d) { return d <= *maxDiff; });
}

void AudioComparison::print(std::ostream& out, std::optional<double> maxDiff) const {
    char line[512];
    for (const auto& [name, facts] : {std::pair{"A", &a_}, std::pair{"B", &b_}}) {
        std::snprintf(line, sizeof line, "%s:            %s\n              %lld frames, %d channel(s) at %d Hz, %s\n",
                      name, facts->path.c_str(), static_cast<long long>(facts->frames),
                      facts->channels, facts->sampleRate, facts->sampleFormat.c_str());
        out << line;
    }
    std::snprintf(line, sizeof line, "compared:     %lld frames, frame i of A with frame i%+lld of B\n",
                  static_cast<long long>(comparedFrames_), static_cast<long long>(offset_));
    out << line;
    out << "identical:    "
        << (identical() ? "yes, bit for bit"
                        : (firstDifference_ ? "no" : "no: the lengths differ"))
        << "\n";
    out << "largest diff:";
    for (std::size_t c = 0; c < largestDifference_.size(); ++c) {
        std::snprintf(line, sizeof line, " channel %zu: %.3g (%s)%s", c + 1, largestDifference_[c],
                      decibelText(largestDifference_[c]).c_str(),
                      c + 1 < largestDifference_.size() ? "," : "\n");
        out << line;
    }
    const double samples = static_cast<double>(comparedFrames_) * static_cast<double>(largestDifference_.size());
    out << "RMS of diff:  " << decibelText(std::sqrt(sumOfSquares_ / samples)) << "\n";
    if (firstDifference_) {
        std::snprintf(line, sizeof line, "first diff:   frame %lld of A (%.6f s)\n",
                      static_cast<long long>(*firstDifference_),
                      static_cast<double>(*firstDifference_) / a_.sampleRate);
        out << line;
    } else {
        out << "first diff:   none\n";
    }
    out << "result:       " << (matches(maxDiff) ? "match" : "differ");
    if (maxDiff) {
        std::snprintf(line, sizeof line, " (largest difference allowed %.3g, %s)", *maxDiff,
                      decibelText(*maxDiff).c_str());
        out << line;
    } else {
        out << " (bit for bit)";
    }
    out << "\n";
}

double parseDifferenceLimit(const std::string& text) {
    const bool decibels = text.size() > 2 && (text.compare(text.size() - 2, 2, "dB") == 0 ||
                                              text.compare(text.size() - 2, 2, "db") == 0);
    const std::string number = decibels ? text.substr(0, text.size() - 2) : text;
    char* end = nullptr;
    const double value = std::strtod(number.c_str(), &end);
    if (number.empty() || *end != '\0' || !std::isfinite(value) || (!decibels && value < 0.0)) {
        throw HostError("'" + text + "' is not a difference: give a number from 0 up, or decibels such as -120dB");
    }
    return decibels ? std::pow(10.0, value / 20.0) : value;
}

}  // namespace host
