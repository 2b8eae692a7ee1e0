// The five crossover sections: each splits a signal at one frequency into a
// low part (band 0) and a high part (band 1) that add up to the input. The
// lowpass types form the high part as input minus low part, never with a
// separate highpass. One coefficient serves both channels and all stages.
//
//   Lowpass6A   one-pole lowpass, low part taken before the update (one
//               sample later than Lowpass6B, same magnitude)
//   Lowpass6B   one-pole lowpass, 3 dB down at the frequency
//   Allpass6    low/high = (x +/- allpass(x)) / 2 with a first-order allpass:
//               power-complementary, 90 degrees apart, both 3 dB down
//   Lowpass12   two equal one-pole stages, 3 dB down in total
//   Lowpass18   three equal one-pole stages, 3 dB down in total
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "dsp/BandSplitter.h"
#include "dsp/ChannelPair.h"
#include "dsp/ForceInline.h"

namespace dsp {

// What every section shares: the coefficient, the memories and the ways of
// running the section's formula. Section supplies the formula once, as
//   template <class Sample>
//   static void split(Sample input, Sample* memories, Sample k, Sample& low, Sample& high);
// on a float (the mono path) or on a channel pair. Each memory holds both
// channels side by side (left, right, then two unused zero lanes), so
// splitPair runs them at once in SSE2 lanes; the mono path runs on the left
// channel's memories.
template <class Section, std::size_t MemoryCount>
class CrossoverSection : public BandSplitter {
  public:
    void reset() override {
        for (std::array<float, 4>& memory : memories_) memory.fill(0.0f);
    }
    std::int32_t bandCount() const override { return 2; }

    // bands may hold the very entry the input came from: it is read first.
    DSP_FORCE_INLINE void process(float input, float* bands) override {
        float memories[MemoryCount];
        for (std::size_t i = 0; i < MemoryCount; ++i) memories[i] = memories_[i][0];
        float low = 0.0f;
        float high = 0.0f;
        Section::split(input, memories, coefficient_, low, high);
        for (std::size_t i = 0; i < MemoryCount; ++i) memories_[i][0] = memories[i];
        bands[0] = low;
        bands[1] = high;
    }

    // Both channels at once; the parts come out as channel pairs.
    DSP_FORCE_INLINE void splitPair(ChannelPair input, ChannelPair& low, ChannelPair& high) {
        ChannelPair memories[MemoryCount];
#pragma GCC unroll 3
        for (std::size_t i = 0; i < MemoryCount; ++i)
            memories[i] = _mm_loadu_ps(memories_[i].data());
        Section::split(input, memories, splat<ChannelPair>(coefficient_), low, high);
#pragma GCC unroll 3
        for (std::size_t i = 0; i < MemoryCount; ++i)
            _mm_storeu_ps(memories_[i].data(), memories[i]);
    }

    DSP_FORCE_INLINE void processStereo(float inputLeft, float inputRight, float* bandsLeft,
                                        float* bandsRight) override {
        ChannelPair low;
        ChannelPair high;
        splitPair(channelPair(inputLeft, inputRight), low, high);
        bandsLeft[0] = leftOf(low);
        bandsLeft[1] = leftOf(high);
        bandsRight[0] = rightOf(low);
        bandsRight[1] = rightOf(high);
    }

    float coefficient() const {
        return coefficient_;
    }

  protected:
    float coefficient_ = 0.0f;

  private:
    std::array<std::array<float, 4>, MemoryCount> memories_{};
};

// Each formula stores into a memory before the next line reads it.

class Lowpass6A final : public CrossoverSection<Lowpass6A, 1> {
  public:
    std::string name() const override { return "Lowpass6A"; }
    void setFrequencies(const float* frequencies, float sampleRate) override;

    template <class Sample>
    static DSP_FORCE_INLINE void split(Sample input, Sample* state, Sample k, Sample& low,
                                       Sample& high) {
        low = state[0];
        high = input - state[0];
        state[0] = state[0] + k * high;
    }
};

class Lowpass6B final : public CrossoverSection<Lowpass6B, 1> {
  public:
    std::string name() const override { return "Lowpass6B"; }
    void setFrequencies(const float* frequencies, float sampleRate) override;

    template <class Sample>
    static DSP_FORCE_INLINE void split(Sample input, Sample* state, Sample k, Sample& low,
                                       Sample& high) {
        state[0] = state[0] + k * (input - state[0]);
        low = state[0];
        high = input - state[0];
    }
};

class Allpass6 final : public CrossoverSection<Allpass6, 1> {
  public:
    std::string name() const override { return "Allpass6"; }
    void setFrequencies(const float* frequencies, float sampleRate) override;

    template <class Sample>
    static DSP_FORCE_INLINE void split(Sample input, Sample* state, Sample k, Sample& low,
                                       Sample& high) {
        const Sample half = input * splat<Sample>(0.5f);
        const Sample allpassed = state[0] - k * half;
        state[0] = half + k * allpassed;
        low = half + allpassed;
        high = half - allpassed;
    }
};

class Lowpass12 final : public CrossoverSection<Lowpass12, 2> {
  public:
    std::string name() const override { return "Lowpass12"; }
    void setFrequencies(const float* frequencies, float sampleRate) override;

    template <class Sample>
    static DSP_FORCE_INLINE void split(Sample input, Sample* stage, Sample k, Sample& low,
                                       Sample& high) {
        stage[0] = stage[0] + k * (input - stage[0]);
        stage[1] = stage[1] + k * (stage[0] - stage[1]);
        low = stage[1];
        high = input - stage[1];
    }
};

class Lowpass18 final : public CrossoverSection<Lowpass18, 3> {
  public:
    std::string name() const override { return "Lowpass18"; }
    void setFrequencies(const float* frequencies, float sampleRate) override;

    template <class Sample>
    static DSP_FORCE_INLINE void split(Sample input, Sample* stage, Sample k, Sample& low,
                                       Sample& high) {
        stage[0] = stage[0] + k * (input - stage[0]);
        stage[1] = stage[1] + k * (stage[0] - stage[1]);
        stage[2] = stage[2] + k * (stage[1] - stage[2]);
        low = stage[2];
        high = input - stage[2];
    }
};

}  // namespace dsp
