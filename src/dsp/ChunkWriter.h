// The last pass over a chunk of mixed frames: clips the frames whose mask is
// set and writes them to the host's buffers, or adds them to what the buffers
// hold. It runs apart from the frame loop so that the loop holds nothing but
// the bank's and the compressor's chains (see BlockRenderer.h). A mask of -1
// clips its frame, 0 leaves it.
#pragma once

#include <cstdint>

#include "dsp/ForceInline.h"
#include "dsp/Lanes.h"
#include "dsp/OutputClipper.h"

namespace dsp {

// Frame by frame: the scalar twin of writeChunk, which also writes its last
// frames this way.
DSP_FORCE_INLINE void writeChunkScalar(float knee, const float* mixedLeft, const float* mixedRight,
                                       const std::int32_t* clipMask, std::int32_t count,
                                       float* outLeft, float* outRight, bool replace) {
    for (std::int32_t j = 0; j < count; ++j) {
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

// Four frames at a time, clipped in lanes.
inline void writeChunk(float knee, const float* mixedLeft, const float* mixedRight,
                       const std::int32_t* clipMask, std::int32_t count, float* outLeft,
                       float* outRight, bool replace) {
    std::int32_t j = 0;
    for (; j + 4 <= count; j += 4) {
        const FloatMask clip = loadMask(clipMask + j);
        FloatLanes left = _mm_loadu_ps(mixedLeft + j);
        FloatLanes right = _mm_loadu_ps(mixedRight + j);
        if (anySet(clip)) {
            left = select(clip, clipOutputLanes(knee, left), left);
            right = select(clip, clipOutputLanes(knee, right), right);
        }
        if (!replace) {
            left = _mm_loadu_ps(outLeft + j) + left;
            right = _mm_loadu_ps(outRight + j) + right;
        }
        _mm_storeu_ps(outLeft + j, left);
        _mm_storeu_ps(outRight + j, right);
    }
    writeChunkScalar(knee, mixedLeft + j, mixedRight + j, clipMask + j, count - j, outLeft + j,
                     outRight + j, replace);
}

}  // namespace dsp
