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

#include <string>

#include "dsp/BandSplitter.h"
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

    float coefficient() const { return coefficient_; }

  private:
    void split(float input, float& state, float* bands) const;

    float stateLeft_ = 0.0f;
    float stateRight_ = 0.0f;
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

    float coefficient() const { return coefficient_; }

  private:
    void split(float input, float& state, float* bands) const;

    float stateLeft_ = 0.0f;
    float stateRight_ = 0.0f;
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

    float coefficient() const { return coefficient_; }

  private:
    void split(float input, float& state, float* bands) const;

    float stateLeft_ = 0.0f;
    float stateRight_ = 0.0f;
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

    float coefficient() const { return coefficient_; }

  private:
    void split(float input, float& stage1, float& stage2, float* bands) const;

    float stage1Left_ = 0.0f;
    float stage1Right_ = 0.0f;
    float stage2Left_ = 0.0f;
    float stage2Right_ = 0.0f;
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

    float coefficient() const { return coefficient_; }

  private:
    void split(float input, float& stage1, float& stage2, float& stage3, float* bands) const;

    float stage1Left_ = 0.0f;
    float stage1Right_ = 0.0f;
    float stage2Left_ = 0.0f;
    float stage2Right_ = 0.0f;
    float stage3Left_ = 0.0f;
    float stage3Right_ = 0.0f;
    float coefficient_ = 0.0f;
};

// The per-sample operations are defined here so that banks holding sections
// by value and the processing driver can inline them. Each update stores into
// the state before the next line reads it, and bands is written last: it may
// be the very entry the input was taken from.

DSP_FORCE_INLINE void Lowpass6A::split(float input, float& state, float* bands) const {
    const float low = state;
    const float high = input - state;
    state = state + coefficient_ * high;
    bands[0] = low;
    bands[1] = high;
}

DSP_FORCE_INLINE void Lowpass6A::process(float input, float* bands) {
    split(input, stateLeft_, bands);
}

DSP_FORCE_INLINE void Lowpass6A::processStereo(float inputLeft, float inputRight, float* bandsLeft,
                                               float* bandsRight) {
    split(inputLeft, stateLeft_, bandsLeft);
    split(inputRight, stateRight_, bandsRight);
}

DSP_FORCE_INLINE void Lowpass6B::split(float input, float& state, float* bands) const {
    state = state + coefficient_ * (input - state);
    bands[0] = state;
    bands[1] = input - state;
}

DSP_FORCE_INLINE void Lowpass6B::process(float input, float* bands) {
    split(input, stateLeft_, bands);
}

DSP_FORCE_INLINE void Lowpass6B::processStereo(float inputLeft, float inputRight, float* bandsLeft,
                                               float* bandsRight) {
    split(inputLeft, stateLeft_, bandsLeft);
    split(inputRight, stateRight_, bandsRight);
}

DSP_FORCE_INLINE void Allpass6::split(float input, float& state, float* bands) const {
    const float half = input * 0.5f;
    const float allpassed = state - coefficient_ * half;
    state = half + coefficient_ * allpassed;
    bands[0] = half + allpassed;
    bands[1] = half - allpassed;
}

DSP_FORCE_INLINE void Allpass6::process(float input, float* bands) {
    split(input, stateLeft_, bands);
}

DSP_FORCE_INLINE void Allpass6::processStereo(float inputLeft, float inputRight, float* bandsLeft,
                                              float* bandsRight) {
    split(inputLeft, stateLeft_, bandsLeft);
    split(inputRight, stateRight_, bandsRight);
}

DSP_FORCE_INLINE void Lowpass12::split(float input, float& stage1, float& stage2,
                                       float* bands) const {
    stage1 = stage1 + coefficient_ * (input - stage1);
    stage2 = stage2 + coefficient_ * (stage1 - stage2);
    bands[0] = stage2;
    bands[1] = input - stage2;
}

DSP_FORCE_INLINE void Lowpass12::process(float input, float* bands) {
    split(input, stage1Left_, stage2Left_, bands);
}

DSP_FORCE_INLINE void Lowpass12::processStereo(float inputLeft, float inputRight, float* bandsLeft,
                                               float* bandsRight) {
    split(inputLeft, stage1Left_, stage2Left_, bandsLeft);
    split(inputRight, stage1Right_, stage2Right_, bandsRight);
}

DSP_FORCE_INLINE void Lowpass18::split(float input, float& stage1, float& stage2, float& stage3,
                                       float* bands) const {
    stage1 = stage1 + coefficient_ * (input - stage1);
    stage2 = stage2 + coefficient_ * (stage1 - stage2);
    stage3 = stage3 + coefficient_ * (stage2 - stage3);
    bands[0] = stage3;
    bands[1] = input - stage3;
}

DSP_FORCE_INLINE void Lowpass18::process(float input, float* bands) {
    split(input, stage1Left_, stage2Left_, stage3Left_, bands);
}

DSP_FORCE_INLINE void Lowpass18::processStereo(float inputLeft, float inputRight, float* bandsLeft,
                                               float* bandsRight) {
    split(inputLeft, stage1Left_, stage2Left_, stage3Left_, bandsLeft);
    split(inputRight, stage1Right_, stage2Right_, stage3Right_, bandsRight);
}

}  // namespace dsp
