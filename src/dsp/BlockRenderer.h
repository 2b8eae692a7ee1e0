// One host block through the signal path: a tiny noise on both inputs, the
// bank's split, the band dynamics, the sum of the bands (or the one band
// listened to), the clipper and the write to the host's buffers.
//
// renderBlock is a template over the concrete bank type: every per-sample
// call is direct and inlined. The bank, the dynamics' states and the noise
// run on working copies written back at the end, so they can stay in
// registers for the whole block; as the caller's objects they would be
// reloaded after every store to the host's buffers, which the compiler must
// assume may alias them.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "dsp/AntiDenormalNoise.h"
#include "dsp/BandDynamics.h"
#include "dsp/ChunkWriter.h"
#include "dsp/ForceInline.h"

namespace dsp {

// The listen selection that sums every band; 0 to 3 pass that band alone.
constexpr std::int32_t kAllBands = -1;

// Input magnitudes up to this, 240 dB above full scale, pass unchanged. A
// larger sample, NaN or an infinity is taken as silence: it would leave the
// filter memories non-finite, or so large that they ring through the
// following samples with values whose driven power overflows. Below it every
// filter memory, band value and output stays finite at any setting.
constexpr float kLargestInput = 1.0e12f;

// NaN fails the comparison and becomes silence too.
DSP_FORCE_INLINE float saneInput(float sample) {
    return std::fabs(sample) <= kLargestInput ? sample : 0.0f;
}

// The host's buffers of one block and how to fill them.
struct StereoBlock {
    const float* inLeft;
    const float* inRight;
    float* outLeft;
    float* outRight;
    std::int32_t frames;
    std::int32_t listen;  // kAllBands or one band's index
    bool replace;         // overwrite the outputs, or add to them
};

// What a block runs on besides the bank.
struct SignalPath {
    BandDynamics& dynamics;
    AntiDenormalNoise& noise;
    float clipKnee;
};

// The work per frame is two long chains of dependent operations, the bank's
// filters and the compressor's feedback loop; the processor overlaps them
// only as far as it can look ahead. So the loop that runs them does nothing
// else: it leaves the mixed frames and the clipping switch of each frame in
// a chunk buffer, and writeChunk clips and writes the chunk, four frames at
// a time. Every frame still sees the same operations in the same order.
// clipping() is asked once per frame; the meter (NoGainMeter or
// LowestGainMeter) observes the gains of every frame.
template <class Bank, class ClipSwitch, class Meter>
void renderBlock(Bank& bank, const SignalPath& path, const StereoBlock& block,
                 ClipSwitch&& clipping, Meter& meter) {
    constexpr std::int32_t kChunk = 64;
    // Working copies, written back at the end.
    Bank splitter = bank;
    const BandDynamics& bandDynamics = path.dynamics;
    BandDynamics::Lanes lanes = bandDynamics.loadLanes();
    AntiDenormalNoise tinyNoise = path.noise;
    const std::int32_t listen = block.listen;
    const std::int32_t bandCount = splitter.bandCount();
    alignas(16) float mixedLeft[kChunk];
    alignas(16) float mixedRight[kChunk];
    alignas(16) std::int32_t clipMask[kChunk];
    auto split = [&](std::int32_t i, float* left, float* right) {
        const float tiny = tinyNoise.next();
        splitter.processStereo(saneInput(block.inLeft[i]) + tiny,
                               saneInput(block.inRight[i]) + tiny, left, right);
    };
    // The bands summed in band order, or the one band listened to.
    auto mix = [&](const float* bandsLeft, const float* bandsRight, float& left, float& right) {
        if (listen == kAllBands) {
            left = 0.0f;
            right = 0.0f;
            for (std::int32_t band = 0; band < bandCount; ++band) {
                left += bandsLeft[band];
                right += bandsRight[band];
            }
        } else {
            left = bandsLeft[listen];
            right = bandsRight[listen];
        }
    };

    // The bank runs one frame ahead of the dynamics: frame i + 1 is split
    // while frame i is compressed, so the two chains sit side by side in the
    // loop body.
    float bandsA[2][64];
    float bandsB[2][64];
    float* aheadLeft = bandsA[0];
    float* aheadRight = bandsA[1];
    float* bandsLeft = bandsB[0];
    float* bandsRight = bandsB[1];
    split(0, aheadLeft, aheadRight);
    for (std::int32_t start = 0; start < block.frames; start += kChunk) {
        const std::int32_t count = std::min(kChunk, block.frames - start);
        for (std::int32_t j = 0; j < count; ++j) {
            const std::int32_t i = start + j;
            std::swap(aheadLeft, bandsLeft);
            std::swap(aheadRight, bandsRight);
            if (i + 1 < block.frames) split(i + 1, aheadLeft, aheadRight);
            // The band step of frame i: the bands compressed in place, then mixed.
            bandDynamics.processBands(lanes, bandsLeft, bandsRight);
            meter.observe(lanes);
            mix(bandsLeft, bandsRight, mixedLeft[j], mixedRight[j]);
            clipMask[j] = clipping() ? -1 : 0;
        }
        writeChunk(path.clipKnee, mixedLeft, mixedRight, clipMask, count, block.outLeft + start,
                   block.outRight + start, block.replace);
    }

    // Write the working copies back.
    bank = splitter;
    path.dynamics.storeLanes(lanes);
    path.noise = tinyNoise;
}

}  // namespace dsp
