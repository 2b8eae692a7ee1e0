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

}  // namespace dsp
