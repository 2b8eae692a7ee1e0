#include <gtest/gtest.h>

#include "params/ValueCurves.h"

namespace params {
namespace {

struct CurveCase {
    const char* name;
    const ValueCurve& curve;
    double minimum;
    double maximum;
    double position;
    double value;
    // Absolute; the six-digit figures carry the rounding of their last digit.
    double positionTolerance;
    double valueTolerance;
};

// Each row holds in both directions: position -> value and value -> position.
const CurveCase curveCases[] = {
    {"linear mid", linearCurve(), 0.0, 1.0, 0.1, 0.1, 1e-15, 1e-15},
    {"linear offset", linearCurve(), -10.0, 10.0, 0.25, -5.0, 1e-15, 1e-14},
    {"log geometric mean", logCurve(), 20.0, 20000.0, 0.5, 632.455532, 1e-9, 1e-6},
    {"log 200 Hz", logCurve(), 20.0, 20000.0, 1.0 / 3.0, 200.0, 1e-15, 1e-12},
    {"log 700 Hz", logCurve(), 20.0, 20000.0, 0.514689, 700.0, 1e-6, 0.01},
    {"log drive unity", logCurve(), 0.1, 1000.0, 0.25, 1.0, 1e-15, 1e-15},
    {"log adjust unity", logCurve(), 0.1, 10.0, 0.5, 1.0, 1e-15, 1e-15},
    {"sqrt mid", sqrtCurve(), 0.01, 4.0, 0.5, 1.1025, 1e-15, 1e-15},
    {"sqrt out default", sqrtCurve(), 0.01, 4.0, 0.235643, 0.3, 1e-6, 1e-5},
    {"power mid", fourthPowerCurve(), 0.0, 20.0, 0.5, 1.25, 1e-15, 1e-14},
    {"power release default", fourthPowerCurve(), 0.0, 20.0, 0.265915, 0.1, 1e-6, 1e-6},
};

TEST(ValueCurves, MapPositionsAndValuesBothWays) {
    for (const CurveCase& c : curveCases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(c.curve.fromNormalised(c.position, c.minimum, c.maximum), c.value,
                    c.valueTolerance);
        EXPECT_NEAR(c.curve.toNormalised(c.value, c.minimum, c.maximum), c.position,
                    c.positionTolerance);
    }
}

TEST(ValueCurves, EndsMapOntoTheBoundsExactly) {
    struct Range {
        const ValueCurve& curve;
        double minimum;
        double maximum;
    };
    const Range ranges[] = {{linearCurve(), 0.0, 1.0},
                            {logCurve(), 20.0, 20000.0},
                            {logCurve(), 0.1, 1000.0},
                            {sqrtCurve(), 0.01, 4.0},
                            {fourthPowerCurve(), 0.0, 20.0}};
    for (const Range& r : ranges) {
        EXPECT_EQ(r.curve.fromNormalised(0.0, r.minimum, r.maximum), r.minimum);
        EXPECT_EQ(r.curve.fromNormalised(1.0, r.minimum, r.maximum), r.maximum);
    }
}

TEST(ValueCurves, PowerCurveForcesItsResultIntoTheBounds) {
    EXPECT_EQ(fourthPowerCurve().fromNormalised(1.5, 0.0, 20.0), 20.0);
    EXPECT_EQ(fourthPowerCurve().fromNormalised(0.0, 1.0, 20.0), 1.0);
    // The other curves leave clamping to the parameter.
    EXPECT_GT(linearCurve().fromNormalised(1.5, 0.0, 20.0), 20.0);
}

}  // namespace
}  // namespace params
