// The four-band filter banks. Crossover i (frequencies[i], i = 0..2) is the
// boundary between band i and band i + 1; band 0 is the lowest. In every bank
// the four bands add up to the input, for any frequencies in any order (to
// within single-precision rounding). Frequencies are used as they arrive,
// neither sorted nor checked beyond the limits of the coefficient formulas.
//
// The per-sample loops over the three crossovers are unrolled by request:
// with constant indices a block loop keeps the filter states in registers.
#pragma once

#include <emmintrin.h>

#include <array>
#include <string>

#include "dsp/BandSplitter.h"
#include "dsp/CrossoverSections.h"
#include "dsp/ForceInline.h"
#include "dsp/Lanes.h"

namespace dsp {

// Parallel banks: three first-order lowpasses L0, L1, L2, all fed with the
// input; each band is the difference of neighbouring lowpass outputs.
//
//        +--> L0 -----------> band 0 = L0
//   x ---+--> L1 -----------> band 1 = L1 - L0
//        +--> L2 -----------> band 2 = L2 - L1
//        +------------------> band 3 = x  - L2
//
// What both share: one coefficient per crossover, Bank::coefficient of the
// crossover's frequency times the sample period, and one memory per
// crossover and channel, each held in a PerCrossover array whose entries 0
// to 2 belong to crossovers 0 to 2 (Width may add a spare lane). Bank supplies
//   static float coefficient(double ratio);
//   static void split(float input, const PerCrossover& coefficients,
//                     PerCrossover& states, float* bands);
template <class Bank, std::size_t Width>
class ParallelBank : public BandSplitter {
  public:
    using PerCrossover = std::array<float, Width>;

    void reset() override {
        statesLeft_.fill(0.0f);
        statesRight_.fill(0.0f);
    }
    std::int32_t bandCount() const override { return 4; }
    void setFrequencies(const float* frequencies, float sampleRate) override {
        const double samplePeriod = 1.0 / static_cast<double>(sampleRate);
        for (std::size_t i = 0; i < 3; ++i) {
            coefficients_[i] =
                Bank::coefficient(samplePeriod * static_cast<double>(frequencies[i]));
        }
    }
    DSP_FORCE_INLINE void process(float input, float* bands) override {
        Bank::split(input, coefficients_, statesLeft_, bands);
    }
    DSP_FORCE_INLINE void processStereo(float inputLeft, float inputRight, float* bandsLeft,
                                        float* bandsRight) override {
        Bank::split(inputLeft, coefficients_, statesLeft_, bandsLeft);
        Bank::split(inputRight, coefficients_, statesRight_, bandsRight);
    }

  protected:
    std::string nameWith(const char* kind) const {
        return std::to_string(bandCount()) + "-band " + kind;
    }

  private:
    PerCrossover coefficients_{};
    PerCrossover statesLeft_{};
    PerCrossover statesRight_{};
};

// TesselBankA: Li = (x + allpass_i(x)) / 2, the allpass running on x / 2. The
// three crossovers run side by side in SSE2 lanes; the fourth lane has
// coefficient 0 and is never read for a band.
class TesselBankA final : public ParallelBank<TesselBankA, 4> {
  public:
    std::string name() const override;
    static float coefficient(double ratio);
    static void split(float input, const PerCrossover& coefficients, PerCrossover& states,
                      float* bands);
    // The scalar twin of split: crossover by crossover, as the formula reads.
    // It leaves the fourth memory as it is.
    static void splitScalar(float input, const PerCrossover& coefficients, PerCrossover& states,
                            float* bands);
};

// TesselBankB: Li is the one-pole lowpass si += ki * (x - si), 3 dB down at
// crossover i.
class TesselBankB final : public ParallelBank<TesselBankB, 3> {
  public:
    std::string name() const override;
    static float coefficient(double ratio);
    static void split(float input, const PerCrossover& coefficients, PerCrossover& states,
                      float* bands);
};

// What both peel banks share: three sections held by value, section i always
// at crossover i, reset and tuned in order 0, 1, 2.
template <class Section>
class PeelBank : public BandSplitter {
  public:
    void reset() override {
        for (Section& section : sections_) section.reset();
    }
    std::int32_t bandCount() const override { return 4; }
    void setFrequencies(const float* frequencies, float sampleRate) override {
        for (std::size_t i = 0; i < sections_.size(); ++i) {
            sections_[i].setFrequencies(&frequencies[i], sampleRate);
        }
    }

  protected:
    std::string nameWith(const char* direction) const {
        return std::to_string(bandCount()) + "-band " + sections_[0].name() + direction;
    }

    // The four bands, each a channel pair, into the two band buffers.
    static DSP_FORCE_INLINE void storeBands(const ChannelPair* bands, float* bandsLeft,
                                            float* bandsRight) {
        const __m128 lower = _mm_unpacklo_ps(bands[0], bands[1]);  // L0 L1 R0 R1
        const __m128 upper = _mm_unpacklo_ps(bands[2], bands[3]);  // L2 L3 R2 R3
        _mm_storeu_ps(bandsLeft, _mm_movelh_ps(lower, upper));
        _mm_storeu_ps(bandsRight, _mm_movehl_ps(upper, lower));
    }

    std::array<Section, 3> sections_{};
};

// Peel-up bank: three sections in a chain; the lowest band is peeled off first
// and the remainder is split further upwards. Section i works in place on
// entry i, writing its low part to entry i and its high part to entry i + 1.
//
//   x --> [S0 @ f0] --low--> band 0
//             |high
//             +--> [S1 @ f1] --low--> band 1
//                      |high
//                      +--> [S2 @ f2] --low--> band 2
//                               +------high--> band 3
template <class Section>
class PeelUpBank final : public PeelBank<Section> {
    using PeelBank<Section>::sections_;

  public:
    std::string name() const override { return this->nameWith(" peel-up"); }
    DSP_FORCE_INLINE void process(float input, float* bands) override {
        bands[0] = input;
#pragma GCC unroll 3
        for (std::size_t i = 0; i < sections_.size(); ++i) {
            sections_[i].process(bands[i], &bands[i]);
        }
    }
    DSP_FORCE_INLINE void processStereo(float inputLeft, float inputRight, float* bandsLeft,
                                        float* bandsRight) override {
        ChannelPair bands[4];
        bands[0] = channelPair(inputLeft, inputRight);
#pragma GCC unroll 3
        for (std::size_t i = 0; i < sections_.size(); ++i) {
            sections_[i].splitPair(bands[i], bands[i], bands[i + 1]);
        }
        this->storeBands(bands, bandsLeft, bandsRight);
    }
};

// Peel-down bank: the same sections, the highest band peeled off first at
// crossover 2 and the remainder split further downwards. Section i still
// takes crossover i and writes entries i (low) and i + 1 (high).
//
//   x --> [S2 @ f2] --high--> band 3
//             |low
//             +--> [S1 @ f1] --high--> band 2
//                      |low
//                      +--> [S0 @ f0] --high--> band 1
//                               +-------low---> band 0
template <class Section>
class PeelDownBank final : public PeelBank<Section> {
    using PeelBank<Section>::sections_;

  public:
    std::string name() const override { return this->nameWith(" peel-down"); }
    DSP_FORCE_INLINE void process(float input, float* bands) override {
        bands[3] = input;
#pragma GCC unroll 3
        for (std::size_t step = 0; step < sections_.size(); ++step) {
            const std::size_t i = sections_.size() - 1 - step;
            sections_[i].process(bands[i + 1], &bands[i]);
        }
    }
    DSP_FORCE_INLINE void processStereo(float inputLeft, float inputRight, float* bandsLeft,
                                        float* bandsRight) override {
        ChannelPair bands[4];
        bands[3] = channelPair(inputLeft, inputRight);
#pragma GCC unroll 3
        for (std::size_t step = 0; step < sections_.size(); ++step) {
            const std::size_t i = sections_.size() - 1 - step;
            sections_[i].splitPair(bands[i + 1], bands[i], bands[i + 1]);
        }
        this->storeBands(bands, bandsLeft, bandsRight);
    }
};

// Per-sample operations of the parallel banks, inline for the block renderer.

DSP_FORCE_INLINE void TesselBankA::splitScalar(float input, const PerCrossover& coefficients,
                                               PerCrossover& states, float* bands) {
    const float half = input * 0.5f;
    float allpassed[3];
#pragma GCC unroll 3
    for (std::size_t i = 0; i < 3; ++i) {
        allpassed[i] = states[i] - coefficients[i] * half;
        states[i] = half + coefficients[i] * allpassed[i];
    }
    bands[0] = allpassed[0] + half;
    bands[1] = allpassed[1] - allpassed[0];
    bands[2] = allpassed[2] - allpassed[1];
    bands[3] = half - allpassed[2];
}

DSP_FORCE_INLINE void TesselBankA::split(float input, const PerCrossover& coefficients,
                                         PerCrossover& states, float* bands) {
    const FloatLanes halves = _mm_set1_ps(input * 0.5f);
    const FloatLanes k = _mm_loadu_ps(coefficients.data());
    const FloatLanes allpassed = _mm_loadu_ps(states.data()) - k * halves;
    _mm_storeu_ps(states.data(), halves + k * allpassed);
    // The bands telescope: their sum is 2 * half = input. With
    // upper = (a0, a1, a2, half) and lower = (half, a0, a1, a2), band 0 is
    // upper + lower in lane 0 and bands 1 to 3 are upper - lower.
    const FloatLanes upper =
        _mm_shuffle_ps(allpassed, _mm_unpackhi_ps(allpassed, halves), _MM_SHUFFLE(1, 0, 1, 0));
    const FloatLanes lower =
        _mm_move_ss(_mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(allpassed), 4)), halves);
    _mm_storeu_ps(bands, _mm_move_ss(upper - lower, upper + lower));
}

DSP_FORCE_INLINE void TesselBankB::split(float input, const PerCrossover& coefficients,
                                         PerCrossover& states, float* bands) {
#pragma GCC unroll 3
    for (std::size_t i = 0; i < states.size(); ++i) {
        states[i] = states[i] + coefficients[i] * (input - states[i]);
    }
    bands[0] = states[0];
    bands[1] = states[1] - states[0];
    bands[2] = states[2] - states[1];
    bands[3] = input - states[2];
}

// The ten peel banks in use are instantiated once, in FilterBanks.cpp.
extern template class PeelUpBank<Lowpass6A>;
extern template class PeelDownBank<Lowpass6A>;
extern template class PeelUpBank<Lowpass6B>;
extern template class PeelDownBank<Lowpass6B>;
extern template class PeelUpBank<Allpass6>;
extern template class PeelDownBank<Allpass6>;
extern template class PeelUpBank<Lowpass12>;
extern template class PeelDownBank<Lowpass12>;
extern template class PeelUpBank<Lowpass18>;
extern template class PeelDownBank<Lowpass18>;

}  // namespace dsp
