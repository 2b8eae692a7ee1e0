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
//
// Each memory holds both channels side by side (left, right, then two unused
// zero lanes), so splitPair runs them at once in SSE2 lanes; the mono path
// runs on the left channel's memories.
#pragma once

#include <array>
#include <string>

#include "dsp/BandSplitter.h"
#include "dsp/ChannelPair.h"
#include "dsp/ForceInline.h"

namespace dsp {

class Lowpass6A final : public BandSplitter {
  public:
    std::string name() const override { return "Lowpass6A"; }
    void reset() override;
    std::int32_t bandCount() const override { return 2; }
    void setFrequencies(const float* frequencies, float sampleRate) override;
    void process(float input, float* bands) override;
    void processStereo(float inputLeft, float inputRight, float* bandsLeft,
                       float* bandsRight) override;
    // Both channels at once; the parts come out as channel pairs.
    void splitPair(ChannelPair input, ChannelPair& low, ChannelPair& high);

    float coefficient() const { return coefficient_; }

  private:
    template <class Sample>
    static void split(Sample input, Sample& state, Sample k, Sample& low, Sample& high);

    std::array<float, 4> state_{};
    float coefficient_ = 0.0f;
};

class Lowpass6B final : public BandSplitter {
  public:
    std::string name() const override { return "Lowpass6B"; }
    void reset() override;
    std::int32_t bandCount() const override { return 2; }
    void setFrequencies(const float* frequencies, float sampleRate) override;
    void process(float input, float* bands) override;
    void processStereo(float inputLeft, float inputRight, float* bandsLeft,
                       float* bandsRight) override;
    // Both channels at once; the parts come out as channel pairs.
    void splitPair(ChannelPair input, ChannelPair& low, ChannelPair& high);

    float coefficient() const { return coefficient_; }

  private:
    template <class Sample>
    static void split(Sample input, Sample& state, Sample k, Sample& low, Sample& high);

    std::array<float, 4> state_{};
    float coefficient_ = 0.0f;
};

class Allpass6 final : public BandSplitter {
  public:
    std::string name() const override { return "Allpass6"; }
    void reset() override;
    std::int32_t bandCount() const override { return 2; }
    void setFrequencies(const float* frequencies, float sampleRate) override;
    void process(float input, float* bands) override;
    void processStereo(float inputLeft, float inputRight, float* bandsLeft,
                       float* bandsRight) override;
    // Both channels at once; the parts come out as channel pairs.
    void splitPair(ChannelPair input, ChannelPair& low, ChannelPair& high);

    float coefficient() const { return coefficient_; }

  private:
    template <class Sample>
    static void split(Sample input, Sample& state, Sample k, Sample& low, Sample& high);

    std::array<float, 4> state_{};
    float coefficient_ = 0.0f;
};

class Lowpass12 final : public BandSplitter {
  public:
    std::string name() const override { return "Lowpass12"; }
    void reset() override;
    std::int32_t bandCount() const override { return 2; }
    void setFrequencies(const float* frequencies, float sampleRate) override;
    void process(float input, float* bands) override;
    void processStereo(float inputLeft, float inputRight, float* bandsLeft,
                       float* bandsRight) override;
    // Both channels at once; the parts come out as channel pairs.
    void splitPair(ChannelPair input, ChannelPair& low, ChannelPair& high);

    float coefficient() const { return coefficient_; }

  private:
    template <class Sample>
    static void split(Sample input, Sample& stage1, Sample& stage2, Sample k, Sample& low,
                      Sample& high);

    std::array<float, 4> stage1_{};
    std::array<float, 4> stage2_{};
    float coefficient_ = 0.0f;
};

class Lowpass18 final : public BandSplitter {
  public:
    std::string name() const override { return "Lowpass18"; }
    void reset() override;
    std::int32_t bandCount() const override { return 2; }
    void setFrequencies(const float* frequencies, float sampleRate) override;
    void process(float input, float* bands) override;
    void processStereo(float inputLeft, float inputRight, float* bandsLeft,
                       float* bandsRight) override;
    // Both channels at once; the parts come out as channel pairs.
    void splitPair(ChannelPair input, ChannelPair& low, ChannelPair& high);

    float coefficient() const { return coefficient_; }

  private:
    template <class Sample>
    static void split(Sample input, Sample& stage1, Sample& stage2, Sample& stage3, Sample k,
                      Sample& low, Sample& high);

    std::array<float, 4> stage1_{};
    std::array<float, 4> stage2_{};
    std::array<float, 4> stage3_{};
    float coefficient_ = 0.0f;
};

// The per-sample operations are defined here so that banks holding sections
// by value and the processing driver can inline them. Each update stores into
// a memory before the next line reads it.

template <class Sample>
DSP_FORCE_INLINE void Lowpass6A::split(Sample input, Sample& state, Sample k, Sample& low,
                                       Sample& high) {
    low = state;
    high = input - state;
    state = state + k * high;
}

// bands may hold the very entry the input came from: it is read first.
DSP_FORCE_INLINE void Lowpass6A::process(float input, float* bands) {
    float low = 0.0f;
    float high = 0.0f;
    split(input, state_[0], coefficient_, low, high);
    bands[0] = low;
    bands[1] = high;
}

DSP_FORCE_INLINE void Lowpass6A::splitPair(ChannelPair input, ChannelPair& low, ChannelPair& high) {
    ChannelPair state = _mm_loadu_ps(state_.data());
    split(input, state, splat<ChannelPair>(coefficient_), low, high);
    _mm_storeu_ps(state_.data(), state);
}

DSP_FORCE_INLINE void Lowpass6A::processStereo(float inputLeft, float inputRight, float* bandsLeft,
                                               float* bandsRight) {
    ChannelPair low;
    ChannelPair high;
    splitPair(channelPair(inputLeft, inputRight), low, high);
    bandsLeft[0] = leftOf(low);
    bandsLeft[1] = leftOf(high);
    bandsRight[0] = rightOf(low);
    bandsRight[1] = rightOf(high);
}

template <class Sample>
DSP_FORCE_INLINE void Lowpass6B::split(Sample input, Sample& state, Sample k, Sample& low,
                                       Sample& high) {
    state = state + k * (input - state);
    low = state;
    high = input - state;
}

// bands may hold the very entry the input came from: it is read first.
DSP_FORCE_INLINE void Lowpass6B::process(float input, float* bands) {
    float low = 0.0f;
    float high = 0.0f;
    split(input, state_[0], coefficient_, low, high);
    bands[0] = low;
    bands[1] = high;
}

DSP_FORCE_INLINE void Lowpass6B::splitPair(ChannelPair input, ChannelPair& low, ChannelPair& high) {
    ChannelPair state = _mm_loadu_ps(state_.data());
    split(input, state, splat<ChannelPair>(coefficient_), low, high);
    _mm_storeu_ps(state_.data(), state);
}

DSP_FORCE_INLINE void Lowpass6B::processStereo(float inputLeft, float inputRight, float* bandsLeft,
                                               float* bandsRight) {
    ChannelPair low;
    ChannelPair high;
    splitPair(channelPair(inputLeft, inputRight), low, high);
    bandsLeft[0] = leftOf(low);
    bandsLeft[1] = leftOf(high);
    bandsRight[0] = rightOf(low);
    bandsRight[1] = rightOf(high);
}

template <class Sample>
DSP_FORCE_INLINE void Allpass6::split(Sample input, Sample& state, Sample k, Sample& low,
                                      Sample& high) {
    const Sample half = input * splat<Sample>(0.5f);
    const Sample allpassed = state - k * half;
    state = half + k * allpassed;
    low = half + allpassed;
    high = half - allpassed;
}

// bands may hold the very entry the input came from: it is read first.
DSP_FORCE_INLINE void Allpass6::process(float input, float* bands) {
    float low = 0.0f;
    float high = 0.0f;
    split(input, state_[0], coefficient_, low, high);
    bands[0] = low;
    bands[1] = high;
}

DSP_FORCE_INLINE void Allpass6::splitPair(ChannelPair input, ChannelPair& low, ChannelPair& high) {
    ChannelPair state = _mm_loadu_ps(state_.data());
    split(input, state, splat<ChannelPair>(coefficient_), low, high);
    _mm_storeu_ps(state_.data(), state);
}

DSP_FORCE_INLINE void Allpass6::processStereo(float inputLeft, float inputRight, float* bandsLeft,
                                              float* bandsRight) {
    ChannelPair low;
    ChannelPair high;
    splitPair(channelPair(inputLeft, inputRight), low, high);
    bandsLeft[0] = leftOf(low);
    bandsLeft[1] = leftOf(high);
    bandsRight[0] = rightOf(low);
    bandsRight[1] = rightOf(high);
}

template <class Sample>
DSP_FORCE_INLINE void Lowpass12::split(Sample input, Sample& stage1, Sample& stage2, Sample k,
                                       Sample& low, Sample& high) {
    stage1 = stage1 + k * (input - stage1);
    stage2 = stage2 + k * (stage1 - stage2);
    low = stage2;
    high = input - stage2;
}

// bands may hold the very entry the input came from: it is read first.
DSP_FORCE_INLINE void Lowpass12::process(float input, float* bands) {
    float low = 0.0f;
    float high = 0.0f;
    split(input, stage1_[0], stage2_[0], coefficient_, low, high);
    bands[0] = low;
    bands[1] = high;
}

DSP_FORCE_INLINE void Lowpass12::splitPair(ChannelPair input, ChannelPair& low, ChannelPair& high) {
    ChannelPair stage1 = _mm_loadu_ps(stage1_.data());
    ChannelPair stage2 = _mm_loadu_ps(stage2_.data());
    split(input, stage1, stage2, splat<ChannelPair>(coefficient_), low, high);
    _mm_storeu_ps(stage1_.data(), stage1);
    _mm_storeu_ps(stage2_.data(), stage2);
}

DSP_FORCE_INLINE void Lowpass12::processStereo(float inputLeft, float inputRight, float* bandsLeft,
                                               float* bandsRight) {
    ChannelPair low;
    ChannelPair high;
    splitPair(channelPair(inputLeft, inputRight), low, high);
    bandsLeft[0] = leftOf(low);
    bandsLeft[1] = leftOf(high);
    bandsRight[0] = rightOf(low);
    bandsRight[1] = rightOf(high);
}

template <class Sample>
DSP_FORCE_INLINE void Lowpass18::split(Sample input, Sample& stage1, Sample& stage2, Sample& stage3,
                                       Sample k, Sample& low, Sample& high) {
    stage1 = stage1 + k * (input - stage1);
    stage2 = stage2 + k * (stage1 - stage2);
    stage3 = stage3 + k * (stage2 - stage3);
    low = stage3;
    high = input - stage3;
}

// bands may hold the very entry the input came from: it is read first.
DSP_FORCE_INLINE void Lowpass18::process(float input, float* bands) {
    float low = 0.0f;
    float high = 0.0f;
    split(input, stage1_[0], stage2_[0], stage3_[0], coefficient_, low, high);
    bands[0] = low;
    bands[1] = high;
}

DSP_FORCE_INLINE void Lowpass18::splitPair(ChannelPair input, ChannelPair& low, ChannelPair& high) {
    ChannelPair stage1 = _mm_loadu_ps(stage1_.data());
    ChannelPair stage2 = _mm_loadu_ps(stage2_.data());
    ChannelPair stage3 = _mm_loadu_ps(stage3_.data());
    split(input, stage1, stage2, stage3, splat<ChannelPair>(coefficient_), low, high);
    _mm_storeu_ps(stage1_.data(), stage1);
    _mm_storeu_ps(stage2_.data(), stage2);
    _mm_storeu_ps(stage3_.data(), stage3);
}

DSP_FORCE_INLINE void Lowpass18::processStereo(float inputLeft, float inputRight, float* bandsLeft,
                                               float* bandsRight) {
    ChannelPair low;
    ChannelPair high;
    splitPair(channelPair(inputLeft, inputRight), low, high);
    bandsLeft[0] = leftOf(low);
    bandsLeft[1] = leftOf(high);
    bandsRight[0] = rightOf(low);
    bandsRight[1] = rightOf(high);
}

}  // namespace dsp
