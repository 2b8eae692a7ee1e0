// The effect's range parameters, built with its ranges and defaults: positions and display
// texts at the default and at chosen positions, as the host sees them through the list.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "RangeKindFactory.h"
#include "params/ParameterList.h"

namespace params {
namespace {

using testing::makeRange;
using testing::RangeKind;

struct EffectRange {
    const char* identifier;
    RangeKind kind;
    double minimum;
    double maximum;
    double defaultValue;
    double defaultPosition;
    const char* defaultDisplay;
    const char* displayAtZero;
    const char* displayAtHalf;
    const char* displayAtOne;
};

const EffectRange effectRanges[] = {
    {"masterDrive", RangeKind::decibel, 0.1, 1000.0, 1.0, 0.25, "0", "-20", "20", "60"},
    {"masterOut", RangeKind::decibelSqrt, 0.01, 4.0, 0.3, 0.235643, "-10.4576", "-40", "0.847572",
     "12.0412"},
    {"release", RangeKind::time, 0.0, 20.0, 0.1, 0.265915, "100", "0", "1250", "20000"},
    {"stereoSeparation", RangeKind::percent, 0.0, 1.0, 0.5, 0.5, "50", "0", "50", "100"},
    {"clipShape", RangeKind::percent, 0.0, 1.0, 0.1, 0.1, "10", "0", "50", "100"},
    {"crossoverFreq0", RangeKind::frequency, 20.0, 20000.0, 200.0, 1.0 / 3.0, "200", "20",
     "632.456", "20000"},
    {"crossoverFreq1", RangeKind::frequency, 20.0, 20000.0, 700.0, 0.514689, "700", "20", "632.456",
     "20000"},
    {"crossoverFreq2", RangeKind::frequency, 20.0, 20000.0, 2000.0, 2.0 / 3.0, "2000", "20",
     "632.456", "20000"},
    {"driveAdjust0", RangeKind::decibel, 0.1, 10.0, 1.0, 0.5, "0", "-20", "0", "20"},
    {"outAdjust3", RangeKind::decibel, 0.1, 10.0, 1.0, 0.5, "0", "-20", "0", "20"},
};

std::string displayOf(const ParameterList& list, std::int32_t index) {
    std::array<char, 16> buffer{};
    list.copyDisplayText(index, buffer.data());
    return buffer.data();
}

TEST(EffectRanges, DefaultsAndPositionsShowAsTheHostExpects) {
    ParameterList list;
    std::vector<std::unique_ptr<RangeParameter>> parameters;
    for (const EffectRange& r : effectRanges) {
        parameters.push_back(makeRange(r.kind, &list, r.defaultValue, r.minimum, r.maximum));
    }
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        const EffectRange& r = effectRanges[i];
        const auto index = static_cast<std::int32_t>(i);
        SCOPED_TRACE(r.identifier);
        EXPECT_NEAR(list.normalisedValue(index), r.defaultPosition, 1e-6);
        EXPECT_EQ(displayOf(list, index), r.defaultDisplay);
        list.setNormalisedValue(index, 0.0f);
        EXPECT_EQ(displayOf(list, index), r.displayAtZero);
        list.setNormalisedValue(index, 0.5f);
        EXPECT_EQ(displayOf(list, index), r.displayAtHalf);
        list.setNormalisedValue(index, 1.0f);
        EXPECT_EQ(displayOf(list, index), r.displayAtOne);
        EXPECT_EQ(static_cast<float>(list.normalisedValue(index)), 1.0f);
        list.setNormalisedValue(index, 1.5f);
        list.setNormalisedValue(index, -0.5f);
        EXPECT_EQ(displayOf(list, index), r.displayAtOne) << "out-of-range positions are ignored";
    }
}

}  // namespace
}  // namespace params
