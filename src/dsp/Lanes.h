// Lane types for the hand-vectorised kernels: four floats or two doubles in
// one SSE2 register, side by side. GCC and Clang give vector types the
// arithmetic and comparison operators lane by lane, so lane code reads as
// its scalar twin does, and each lane rounds exactly as the scalar form. A
// comparison gives a mask, all ones in the lanes where it holds and all zeros
// elsewhere. Loads, stores, shuffles and conversions stay SSE2 intrinsics.
#pragma once

#include <emmintrin.h>

#include <cstdint>

#include "dsp/ForceInline.h"

namespace dsp {

using FloatLanes = __m128;
using DoubleLanes = __m128d;
using FloatMask = decltype(FloatLanes{} < FloatLanes{});
using DoubleMask = decltype(DoubleLanes{} < DoubleLanes{});
// The bit patterns of four floats, for integer arithmetic on them.
using BitLanes = std::uint32_t __attribute__((vector_size(16)));

// whenSet in the lanes where mask is set, otherwise elsewhere; both are
// computed, as a mask from a comparison needs no branch.
template <class Mask, class Lanes>
DSP_FORCE_INLINE Lanes select(Mask mask, Lanes whenSet, Lanes otherwise) {
    return mask ? whenSet : otherwise;
}

// The lesser of a and b in each lane; b where either is NaN.
DSP_FORCE_INLINE FloatLanes lesser(FloatLanes a, FloatLanes b) {
    return _mm_min_ps(a, b);
}

DSP_FORCE_INLINE bool anySet(FloatMask mask) {
    return _mm_movemask_ps(__builtin_bit_cast(FloatLanes, mask)) != 0;
}

// Four masks of 0 (clear) or -1 (set) from memory.
DSP_FORCE_INLINE FloatMask loadMask(const std::int32_t* masks) {
    return __builtin_bit_cast(FloatMask, _mm_loadu_si128(reinterpret_cast<const __m128i*>(masks)));
}

DSP_FORCE_INLINE FloatLanes magnitude(FloatLanes x) {
    return _mm_andnot_ps(_mm_set1_ps(-0.0f), x);
}

DSP_FORCE_INLINE BitLanes bitsOf(FloatLanes x) {
    return __builtin_bit_cast(BitLanes, x);
}

DSP_FORCE_INLINE FloatLanes floatsOf(BitLanes bits) {
    return __builtin_bit_cast(FloatLanes, bits);
}

// Conversions between the two lane types: a pair of doubles rounds to the
// two low float lanes (the upper two are 0); the low or the high pair of
// floats widens exactly to doubles; two such pairs join into four floats.
DSP_FORCE_INLINE FloatLanes narrow(DoubleLanes x) {
    return _mm_cvtpd_ps(x);
}

DSP_FORCE_INLINE DoubleLanes widenLow(FloatLanes x) {
    return _mm_cvtps_pd(x);
}

DSP_FORCE_INLINE DoubleLanes widenHigh(FloatLanes x) {
    return _mm_cvtps_pd(_mm_movehl_ps(x, x));
}

DSP_FORCE_INLINE FloatLanes joinLowPairs(FloatLanes low, FloatLanes high) {
    return _mm_movelh_ps(low, high);
}

}  // namespace dsp
