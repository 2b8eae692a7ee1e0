// The last pass over a chunk of mixed frames: clips the frames whose mask is
// set and writes them to the host's buffers, or adds them to what the buffers
// hold. It runs apart from the frame loop so that the loop holds nothing but
// the bank's and the compressor's chains (see BlockRenderer.h).
#pragma once

#include <emmintrin.h>

#include <cstdint>

#include "dsp/OutputClipper.h"

namespace dsp {

// Four frames at a time; a mask of -1 clips its frame, 0 leaves it.
inline void writeChunk(float knee, const float* mixedLeft, const float* mixedRight,
                       const std::int32_t* clipMask, std::int32_t count, float* outLeft,
                       float* outRight, bool replace) {
    std::int32_t j = 0;
    for (; j + 4 <= count; j += 4) {
        const __m128 clip =
            _mm_castsi128_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(clipMask + j)));
        __m128 left = _mm_loadu_ps(mixedLeft + j);
        __m128 right = _mm_loadu_ps(mixedRight + j);
        if (_mm_movemask_ps(clip) != 0) {
            left = _mm_or_ps(_mm_and_ps(clip, clipOutputLanes(knee, left)),
                             _mm_andnot_ps(clip, left));
            right = _mm_or_ps(_mm_and_ps(clip, clipOutputLanes(knee, right)),
                              _mm_andnot_ps(clip, right));
        }
        if (!replace) {
            left = _mm_add_ps(_mm_loadu_ps(outLeft + j), left);
            right = _mm_add_ps(_mm_loadu_ps(outRight + j), right);
        }
        _mm_storeu_ps(outLeft + j, left);
        _mm_storeu_ps(outRight + j, right);
    }
    for (; j < count; ++j) {
        float left = mixedLeft[j];
        float right = mixedRight[j];
        if (clipMask[j] != 0) {
            left = clipOutput(knee, left);
            right = clipOutput(knee, right);
        }
        if (replace) {
            outLeft[j] = left;
            outRight[j] = right;
        } else {
            outLeft[j] += left;
            outRight[j] += right;
        }
    }
}

}  // namespace dsp
