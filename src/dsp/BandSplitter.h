// A filter that splits a signal into a fixed number of bands that add up to
// the input. Crossover sections (two bands) and filter banks (four bands)
// implement it. The effect holds, chooses and configures banks through this
// interface; the block renderer gets each as its concrete type from
// visitFilterBank, so that its per-sample calls are direct.
//
// Threads: setFrequencies and reset run under the effect's lock on a host
// thread, process and processStereo under the same lock on the audio thread.
#pragma once

#include <cstdint>
#include <string>

namespace dsp {

class BandSplitter {
  public:
    virtual ~BandSplitter();

    // Allocates; never called on the audio path.
    virtual std::string name() const = 0;
    // Clears every filter memory; the coefficients stay as set.
    virtual void reset() = 0;
    virtual std::int32_t bandCount() const = 0;
    // Recomputes the coefficients from the crossover frequencies in Hz (a
    // section reads frequencies[0], a bank frequencies[0..2]); the memories
    // stay untouched.
    virtual void setFrequencies(const float* frequencies, float sampleRate) = 0;
    // Writes bandCount() bands, lowest first. The mono path runs on the left
    // channel's memories. bands may hold the very entry the input came from.
    virtual void process(float input, float* bands) = 0;
    virtual void processStereo(float inputLeft, float inputRight, float* bandsLeft,
                               float* bandsRight) = 0;
};

}  // namespace dsp
