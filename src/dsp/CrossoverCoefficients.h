// The three coefficient formulas of the crossover filters, each in one place,
// shared by the crossover sections and the parallel filter banks. All take the
// crossover frequency as a fraction of the sample rate, evaluate in double
// precision and return the single-precision coefficient the filters store.
#pragma once

namespace dsp {

// One-pole lowpass y += k * (x - y), 3 dB down at the ratio. Ratios below 0
// count as 0 (k = 0, the filter holds its memory). There is no upper limit:
// the formula folds at 0.5, so r and 1 - r give the same coefficient.
float onePoleCoefficient(double ratio);

// One-pole lowpass stage whose magnitude at the ratio is stageGain (< 1), so
// that a cascade of n stages with stageGain = 0.5^(1/2n) is 3 dB down there.
// The ratio is limited to 0 .. 0.49.
float onePoleGainCoefficient(double ratio, double stageGain);

// First-order allpass (z^-1 - k) / (1 - k z^-1) whose phase passes -90 degrees
// at the ratio. The ratio is limited to 0.00001 .. 0.49.
float allpassCoefficient(double ratio);

}  // namespace dsp
