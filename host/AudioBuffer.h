// Planar audio in memory: one float vector per channel, all of equal length.
#pragma once

#include <cstddef>
#include <vector>

namespace host {

// What the host renders: sample rates a plug-in may meet, and at most an hour.
inline constexpr double kMinSampleRate = 1000.0;
inline constexpr double kMaxSampleRate = 1000000.0;
inline constexpr double kMaxSeconds = 3600.0;

struct AudioBuffer {
    double sampleRate = 48000.0;
    std::vector<std::vector<float>> channels;

    std::size_t channelCount() const { return channels.size(); }
    std::size_t frames() const { return channels.empty() ? 0 : channels.front().size(); }
};

// Peak and RMS over all channels, in dBFS (-inf for silence).
struct Level {
    double peakDb;
    double rmsDb;
};
Level measureLevel(const AudioBuffer& audio);

}  // namespace host
