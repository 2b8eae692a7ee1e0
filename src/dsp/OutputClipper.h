// The output clipper: linear up to the knee, then bending with zero slope into
// +/-1, so no output exceeds 1 in magnitude.
#pragma once

namespace dsp {

// y * (1 - 4/27 * y^2) for |y| <= 1.5, else +/-1: slope 1 at 0, 0.85185 at 1,
// meeting +/-1 with zero slope at +/-1.5.
float softCurve(float y);

// Samples up to the knee in magnitude pass unchanged; above it the soft curve
// is scaled into the remaining headroom 1 - knee. A knee of 0 is the soft
// curve itself; a knee of 1 or more limits hard at +/-knee.
float clipOutput(float knee, float x);

}  // namespace dsp
