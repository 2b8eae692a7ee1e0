// The output clipper: linear up to the knee, then bending with zero slope into
// +/-1, so no output exceeds 1 in magnitude. Inline: the block renderer
// calls it per sample and channel while clipping is on.
#pragma once

#include <emmintrin.h>

#include <cmath>

#include "dsp/ForceInline.h"
#include "dsp/Lanes.h"

namespace dsp {

namespace detail {
constexpr float kSoftCurveFactor = 4.0f / 27.0f;  // 0.14814815, pattern 0x3E17B426
constexpr float kSoftCurveLimit = 1.5f;
}  // namespace detail

// y * (1 - 4/27 * y^2) for |y| <= 1.5, else +/-1: slope 1 at 0, 0.85185 at 1,
// meeting +/-1 with zero slope at +/-1.5.
DSP_FORCE_INLINE float softCurve(float y) {
    if (y < -detail::kSoftCurveLimit) return -1.0f;
    if (y > detail::kSoftCurveLimit) return 1.0f;
    return y * (1.0f - detail::kSoftCurveFactor * (y * y));
}

// Samples up to the knee in magnitude pass unchanged; above it the soft curve
// is scaled into the remaining headroom 1 - knee. A knee of 0 is the soft
// curve itself; a knee of 1 or more limits hard at +/-knee.
DSP_FORCE_INLINE float clipOutput(float knee, float x) {
    if (std::fabs(x) <= knee) return x;
    const float headroom = 1.0f - knee;
    // No headroom left: the limit is the knee itself (the curve would divide by 0).
    if (!(headroom > 0.0f)) return x >= 0.0f ? knee : -knee;
    if (x >= 0.0f) return knee + headroom * softCurve((x - knee) / headroom);
    return -knee - headroom * softCurve((-x - knee) / headroom);
}

// clipOutput on four samples at once, in SSE2 lanes and without branches on
// the samples: the same operations on each lane give the same results bit
// for bit, NaN included. Sample signs and levels change from one sample to
// the next, so the branches of the scalar form are often mispredicted.
DSP_FORCE_INLINE FloatLanes clipOutputLanes(float knee, FloatLanes x) {
    const float headroom = 1.0f - knee;
    if (!(headroom > 0.0f)) {
        alignas(16) float samples[4];
        _mm_store_ps(samples, x);
        for (float& sample : samples) sample = clipOutput(knee, sample);
        return _mm_load_ps(samples);
    }
    const FloatMask positive = x >= 0.0f;
    // (x - knee) / headroom above the knee, (-x - knee) / headroom below -knee.
    const FloatLanes y = (select(positive, x, -x) - knee) / headroom;
    const FloatLanes curve = y * (1.0f - detail::kSoftCurveFactor * (y * y));
    const FloatLanes one = _mm_set1_ps(1.0f);
    const FloatLanes soft =
        select(y > detail::kSoftCurveLimit, one, select(y < -detail::kSoftCurveLimit, -one, curve));
    const FloatLanes scaled = headroom * soft;
    const FloatLanes bent = select(positive, knee + scaled, -knee - scaled);
    return select(magnitude(x) <= knee, x, bent);
}

}  // namespace dsp
