// The effect's default signal chain written out as one plain loop: the
// parallel allpass bank, the four band compressors under the plain gain law
// and the band sum, with every state in a local variable, no virtual call and
// no lock. It runs the scalar twins of the effect's kernels, which do the
// same operations in the same order and precision, so it must give the same
// output bit for bit; it is the yardstick for how close the effect's own loop
// comes to the cost of the arithmetic.
#pragma once

#include <array>
#include <cstdint>

#include "dsp/AntiDenormalNoise.h"
#include "dsp/BandDynamics.h"
#include "dsp/FilterBanks.h"

namespace bench {

class FusedReferenceLoop final {
  public:
    // Coefficients of the effect's default settings at the given rate.
    explicit FusedReferenceLoop(float sampleRate);

    void process(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                 std::int32_t frames);

  private:
    static constexpr std::size_t kBands = 4;
    using BandStates = std::array<dsp::BandDynamics::BandState, kBands>;

    // Coefficients.
    dsp::TesselBankA::PerCrossover allpass_{};
    dsp::BandDynamics dynamics_;
    // States.
    dsp::AntiDenormalNoise noise_;
    dsp::TesselBankA::PerCrossover allpassLeft_{};
    dsp::TesselBankA::PerCrossover allpassRight_{};
    BandStates bands_{};
};

}  // namespace bench
