#include "dsp/OutputClipper.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "SplitterTestSupport.h"
#include "dsp/ChunkWriter.h"

namespace dsp {
namespace {

struct ClipCase {
    float knee;
    float input;
    float expected;
};

TEST(OutputClipper, Values) {
    const ClipCase cases[] = {
        {0.0f, 0.0f, 0.0f},        {0.0f, 0.5f, 0.48148148f},
        {0.0f, 1.0f, 0.85185185f}, {0.0f, -1.0f, -0.85185185f},
        {0.0f, 1.5f, 1.0f},        {0.0f, -2.0f, -1.0f},
        {0.0f, 1e30f, 1.0f},       {0.5f, 0.4f, 0.4f},
        {0.5f, -0.5f, -0.5f},      {0.5f, 1.0f, 0.5f + 0.5f * 0.85185185f},
        {0.5f, 5.0f, 1.0f},        {1.0f, 0.9f, 0.9f},
        {1.0f, 3.0f, 1.0f},        {1.0f, -3.0f, -1.0f},
    };
    for (const ClipCase& c : cases) {
        EXPECT_FLOAT_EQ(clipOutput(c.knee, c.input), c.expected)
            << "knee " << c.knee << " input " << c.input;
    }
}

TEST(OutputClipper, SoftCurveUsesTheSinglePrecisionFactor) {
    const std::uint32_t bits = 0x3E17B426u;
    float factor = 0.0f;
    std::memcpy(&factor, &bits, sizeof factor);
    EXPECT_EQ(softCurve(1.0f), 1.0f - factor);
    EXPECT_EQ(softCurve(-1.0f), factor - 1.0f);
}

TEST(OutputClipper, BoundedMonotonicAndContinuous) {
    for (float knee : {0.0f, 0.3f, 0.9f}) {
        float previous = clipOutput(knee, -4.0f);
        for (int i = -3999; i <= 4000; ++i) {
            const float x = static_cast<float>(i) / 1000.0f;
            const float y = clipOutput(knee, x);
            ASSERT_LE(std::fabs(y), 1.0f) << x;
            ASSERT_GE(y, previous) << x;
            ASSERT_LE(y - previous, 0.0011f) << x;  // slope never above 1
            previous = y;
        }
    }
}

// The clipper in lanes and the chunk writer against their scalar twins, bit
// for bit: edge values and a sweep through the clipper, random chunks of
// every length with random clipping switches through the writer, at knees
// from the soft curve to beyond the hard limit.
TEST(OutputClipper, LanesAndChunkWriterEqualTheirScalarTwins) {
    using test::bitsOf;
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<float> inputs = {0.0f, -0.0f, 1.5f, -1.5f, 1e30f, -1e30f, inf, -inf, nan, -nan};
    for (int i = -3000; i <= 3000; ++i) inputs.push_back(static_cast<float>(i) * 0.00137f);
    while (inputs.size() % 4 != 0) inputs.push_back(0.5f);
    std::mt19937 random(37);
    std::uint32_t seed = 300;
    for (float knee : {0.0f, 0.3f, 0.999f, 1.0f, 1.5f, -0.2f}) {
        SCOPED_TRACE(knee);
        for (std::size_t i = 0; i < inputs.size(); i += 4) {
            alignas(16) float lanes[4];
            _mm_store_ps(lanes, clipOutputLanes(knee, _mm_loadu_ps(&inputs[i])));
            for (std::size_t lane = 0; lane < 4; ++lane) {
                ASSERT_EQ(bitsOf(lanes[lane]), bitsOf(clipOutput(knee, inputs[i + lane])))
                    << "x " << inputs[i + lane];
            }
        }
        for (int chunk = 0; chunk < 200; ++chunk) {
            const auto count = static_cast<std::int32_t>(random() % 65);
            const bool replace = random() % 2 == 0;
            const auto frames = static_cast<std::size_t>(count);
            const auto left = test::noise(frames, ++seed, 3.0f);
            const auto right = test::noise(frames, ++seed, 3.0f);
            std::vector<std::int32_t> clipMask(frames);
            for (std::int32_t& mask : clipMask) mask = random() % 3 == 0 ? 0 : -1;
            std::vector<float> outLeft = test::noise(frames, ++seed);
            std::vector<float> outRight = test::noise(frames, ++seed);
            std::vector<float> scalarLeft = outLeft;
            std::vector<float> scalarRight = outRight;
            writeChunk(knee, left.data(), right.data(), clipMask.data(), count, outLeft.data(),
                       outRight.data(), replace);
            writeChunkScalar(knee, left.data(), right.data(), clipMask.data(), count,
                             scalarLeft.data(), scalarRight.data(), replace);
            for (std::size_t j = 0; j < frames; ++j) {
                ASSERT_EQ(bitsOf(outLeft[j]), bitsOf(scalarLeft[j])) << count << " " << j;
                ASSERT_EQ(bitsOf(outRight[j]), bitsOf(scalarRight[j])) << count << " " << j;
            }
        }
    }
}

}  // namespace
}  // namespace dsp
