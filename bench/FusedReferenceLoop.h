// The effect's default signal chain written out as one plain loop: the
// parallel allpass bank, the four band compressors under the plain gain law
// and the band sum, with every state in a local variable, no virtual call and
// no lock. The same operations in the same order and precision as the
// effect, so it must give the same output bit for bit; it is the yardstick
// for how close the effect's own loop comes to the cost of the arithmetic.
#pragma once

#include <array>
#include <cstdint>

namespace bench {

class FusedReferenceLoop final {
  public:
    // Coefficients of the effect's default settings at the given rate.
    explicit FusedReferenceLoop(float sampleRate);

    void process(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                 std::int32_t frames);

  private:
    static constexpr std::size_t kBands = 4;

    // Coefficients.
    std::array<float, 3> allpass_{};
    std::array<float, kBands> inputGain_{};
    std::array<float, kBands> outputGain_{};
    std::array<double, kBands> smoothing_{};
    double same_ = 0.0;
    double cross_ = 0.0;
    // States.
    std::int32_t noise_ = 0;
    std::array<float, 3> allpassLeft_{};
    std::array<float, 3> allpassRight_{};
    std::array<double, kBands> envelopeLeft_{1.0, 1.0, 1.0, 1.0};
    std::array<double, kBands> envelopeRight_{1.0, 1.0, 1.0, 1.0};
    std::array<float, kBands> gainLeft_{1.0f, 1.0f, 1.0f, 1.0f};
    std::array<float, kBands> gainRight_{1.0f, 1.0f, 1.0f, 1.0f};
};

}  // namespace bench
