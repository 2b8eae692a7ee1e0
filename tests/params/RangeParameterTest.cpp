#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "RangeKindFactory.h"

namespace params {
namespace {

using testing::makeRange;
using testing::RangeKind;

struct KindCase {
    RangeKind kind;
    const char* unitLabel;
    double minimum;
    double maximum;
    double defaultValue;
};

const KindCase kindCases[] = {
    {RangeKind::decibel, "dB", 0.1, 1000.0, 1.0},
    {RangeKind::decibelSqrt, "dB", 0.01, 4.0, 0.3},
    {RangeKind::percent, "%", 0.0, 1.0, 0.5},
    {RangeKind::frequency, "Hz", 20.0, 20000.0, 200.0},
    {RangeKind::time, "ms", 0.0, 20.0, 0.1},
    {RangeKind::degree, "deg", -180.0, 180.0, 0.0},
    {RangeKind::octave, "oct", 0.125, 8.0, 1.0},
    {RangeKind::log, "", 0.5, 50.0, 5.0},
};

TEST(RangeParameter, PersistenceTextRoundTripsForEveryKind) {
    for (const KindCase& c : kindCases) {
        auto source = makeRange(c.kind, nullptr, c.defaultValue, c.minimum, c.maximum);
        auto target = makeRange(c.kind, nullptr, c.defaultValue, c.minimum, c.maximum);
        EXPECT_EQ(source->unitLabel(), c.unitLabel);
        for (const double position : {0.0, 0.37, 0.5, 0.81, 1.0}) {
            SCOPED_TRACE(std::string(c.unitLabel) + " at " + std::to_string(position));
            source->setNormalisedValue(position);
            const std::string text = source->valueToText();
            ASSERT_TRUE(target->setFromText(text)) << text;
            EXPECT_EQ(target->valueToText(), text);
            EXPECT_NEAR(target->value(), source->value(),
                        1e-5 * std::fabs(source->value()) + 1e-12);
        }
    }
}

TEST(RangeParameter, PositionsAreClampedIntoTheBounds) {
    for (const KindCase& c : kindCases) {
        auto parameter = makeRange(c.kind, nullptr, c.defaultValue, c.minimum, c.maximum);
        parameter->setNormalisedValue(1.0);
        EXPECT_EQ(parameter->value(), c.maximum);
        EXPECT_NEAR(parameter->normalisedValue(), 1.0, 1e-12);
        parameter->setNormalisedValue(0.0);
        EXPECT_EQ(parameter->value(), c.minimum);
        parameter->setNormalisedValue(1.5);
        EXPECT_EQ(parameter->value(), c.maximum);
    }
}

TEST(RangeParameter, SetValueClampsOrRefuses) {
    PercentParameter p(nullptr, "p", "P", 0.5, 0.0, 1.0);
    struct Case {
        double v;
        bool clamp;
        bool result;
        double stored;
    };
    const Case cases[] = {
        {0.25, false, true, 0.25},
        {1.5, false, false, 0.25},
        {-0.1, false, false, 0.25},
        {1.5, true, true, 1.0},
        {-0.1, true, true, 0.0},
        {std::numeric_limits<double>::quiet_NaN(), true, false, 0.0},
        {std::numeric_limits<double>::quiet_NaN(), false, false, 0.0},
        {std::numeric_limits<double>::infinity(), true, true, 1.0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(p.setValue(c.v, c.clamp), c.result) << c.v;
        EXPECT_EQ(p.value(), c.stored) << c.v;
    }
}

TEST(RangeParameter, SetFromTextReadsALeadingNumberOnly) {
    struct Case {
        const char* text;
        bool accepted;
        double value;
    };
    const Case cases[] = {
        {"0.25", true, 0.25}, {"  0.75", true, 0.75}, {"0.5 extra", true, 0.5}, {"3", true, 1.0},
        {"-2", true, 0.0},    {"1e-1", true, 0.1},    {"abc", false, 0.3},      {"", false, 0.3},
        {"nan", false, 0.3},  {"1e999", false, 0.3},  {",5", false, 0.3},
    };
    for (const Case& c : cases) {
        PercentParameter p(nullptr, "p", "P", 0.3, 0.0, 1.0);
        EXPECT_EQ(p.setFromText(c.text), c.accepted) << '"' << c.text << '"';
        EXPECT_EQ(p.value(), c.value) << '"' << c.text << '"';
    }
}

TEST(RangeParameter, DefaultOutsideTheBoundsStaysUntilTheFirstChange) {
    FrequencyParameter p(nullptr, "f", "F", 5.0, 20.0, 20000.0);
    EXPECT_EQ(p.value(), 5.0);
    EXPECT_LT(p.normalisedValue(), 0.0);
    p.resetToDefault();
    EXPECT_EQ(p.value(), 20.0);
}

TEST(RangeParameter, ChangedFlagFollowsRealChangesOnly) {
    TimeParameter p(nullptr, "t", "T", 0.1, 0.0, 20.0);
    EXPECT_TRUE(p.isChanged());
    (void)p.displayText();
    (void)p.valueToText();
    (void)p.normalisedValue();
    EXPECT_TRUE(p.isChanged()) << "text and position reads must not consume the change";
    (void)p.value();
    EXPECT_FALSE(p.isChanged());
    p.setValue(0.1, true);
    p.resetToDefault();
    EXPECT_FALSE(p.isChanged());
    EXPECT_FALSE(p.setValue(30.0, false));
    EXPECT_FALSE(p.isChanged());
    p.setNormalisedValue(0.5);
    EXPECT_TRUE(p.isChanged());
    (void)p.value();
    p.setChanged(true);
    EXPECT_TRUE(p.isChanged());
    p.setChanged(false);
    EXPECT_FALSE(p.isChanged());
}

// A value equal to the stored one leaves the stored one in place: -0 written
// over 0 must not turn the texts into "-0".
TEST(RangeParameter, EqualValueKeepsTheStoredOne) {
    PercentParameter percent(nullptr, "p", "P", 0.0, 0.0, 1.0);
    DegreeParameter degree(nullptr, "d", "D", 0.0, -180.0, 180.0);
    (void)percent.value();
    (void)degree.value();
    EXPECT_TRUE(percent.setFromText("-0"));
    EXPECT_TRUE(degree.setValue(-0.0, false));
    EXPECT_EQ(percent.displayText(), "0");
    EXPECT_EQ(percent.valueToText(), "0");
    EXPECT_EQ(degree.displayText(), "0");
    EXPECT_FALSE(percent.isChanged());
    EXPECT_FALSE(degree.isChanged());
}

}  // namespace
}  // namespace params
