// Planar audio in memory: one float vector per channel, all of equal length.
#pragma once

#include <cstddef>
#include <vector>

namespace host {

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
