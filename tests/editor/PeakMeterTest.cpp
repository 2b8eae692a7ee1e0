// The gain-reduction meter's peak hold: readings in, the reading and peak it
// shows out, including readings no meter should get.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "editor/PeakMeter.h"
#include "engine/ControlIds.h"

namespace editor {
namespace {

struct Step {
    double reading;  // given to set() when seconds is 0
    double seconds;  // above 0: a tick of this long instead
    double shownReading;
    double shownPeak;
};

constexpr double kNoReading = std::numeric_limits<double>::quiet_NaN();
constexpr double kHold = PeakMeter::kHoldSeconds;
constexpr double kReturn = PeakMeter::kReturnDbPerSecond;

struct Row {
    const char* name;
    std::vector<Step> steps;
};

TEST(PeakMeter, HoldsTheDeepestReadingThenFollowsBack) {
    const double deepest = engine::kDeepestMeterDb;
    const std::vector<Row> rows = {
        {"held for the hold time, then back at the return rate",
         {{-12.0, 0, -12.0, -12.0},
          {-2.0, 0, -2.0, -12.0},
          {kNoReading, kHold - 0.1, -2.0, -12.0},
          {kNoReading, 0.2, -2.0, -12.0 + 0.2 * kReturn},
          {kNoReading, 1.0, -2.0, -2.0}}},
        {"a deeper reading holds anew",
         {{-6.0, 0, -6.0, -6.0},
          {kNoReading, kHold, -6.0, -6.0},
          {-9.0, 0, -9.0, -9.0},
          {kNoReading, kHold - 0.1, -9.0, -9.0}}},
        {"positive readings show 0, NaN changes nothing, -inf the scale's end and returns",
         {{3.0, 0, 0.0, 0.0},
          {-4.0, 0, -4.0, -4.0},
          {kNoReading, 0, -4.0, -4.0},
          {-std::numeric_limits<double>::infinity(), 0, deepest, deepest},
          {-1.0, 0, -1.0, deepest},
          {kNoReading, kHold + 10.0, -1.0, -1.0}}},
    };
    for (const Row& row : rows) {
        PeakMeter meter;
        for (std::size_t i = 0; i < row.steps.size(); ++i) {
            const Step& step = row.steps[i];
            if (step.seconds > 0) {
                meter.tick(step.seconds);
            } else {
                meter.set(step.reading);
            }
            EXPECT_NEAR(meter.reading(), step.shownReading, 1e-9) << row.name << ", step " << i;
            EXPECT_NEAR(meter.peak(), step.shownPeak, 1e-9) << row.name << ", step " << i;
        }
    }
}

}  // namespace
}  // namespace editor
