// Both channels of one stereo sample in one SSE2 register: left in lane 0,
// right in lane 1, lanes 2 and 3 zero. The crossover formulas are written once
// as templates over the sample type and run on a float or on a channel pair;
// GCC and Clang give vector types the arithmetic operators, lane by lane, so
// each lane does exactly what the float form does.
#pragma once

#include <emmintrin.h>

#include "dsp/ForceInline.h"
#include "dsp/Lanes.h"

namespace dsp {

using ChannelPair = FloatLanes;

DSP_FORCE_INLINE ChannelPair channelPair(float left, float right) {
    return _mm_unpacklo_ps(_mm_set_ss(left), _mm_set_ss(right));
}

DSP_FORCE_INLINE float leftOf(ChannelPair pair) {
    return _mm_cvtss_f32(pair);
}

DSP_FORCE_INLINE float rightOf(ChannelPair pair) {
    return _mm_cvtss_f32(_mm_shuffle_ps(pair, pair, _MM_SHUFFLE(1, 1, 1, 1)));
}

// A constant of the formulas as the sample type.
template <class Sample>
Sample splat(float value);

template <>
DSP_FORCE_INLINE float splat<float>(float value) {
    return value;
}

template <>
DSP_FORCE_INLINE ChannelPair splat<ChannelPair>(float value) {
    return _mm_set1_ps(value);
}

}  // namespace dsp
