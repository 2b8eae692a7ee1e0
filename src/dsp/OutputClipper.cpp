#include "dsp/OutputClipper.h"

#include <cmath>

namespace dsp {
namespace {

constexpr float kSoftCurveFactor = 4.0f / 27.0f;  // 0.14814815, pattern 0x3E17B426
constexpr float kSoftCurveLimit = 1.5f;

}  // namespace

float softCurve(float y) {
    if (y < -kSoftCurveLimit) return -1.0f;
    if (y > kSoftCurveLimit) return 1.0f;
    return y * (1.0f - kSoftCurveFactor * (y * y));
}

float clipOutput(float knee, float x) {
    if (std::fabs(x) <= knee) return x;
    const float headroom = 1.0f - knee;
    // No headroom left: the limit is the knee itself (the curve would divide by 0).
    if (!(headroom > 0.0f)) return x >= 0.0f ? knee : -knee;
    if (x >= 0.0f) return knee + headroom * softCurve((x - knee) / headroom);
    return -knee - headroom * softCurve((-x - knee) / headroom);
}

}  // namespace dsp
