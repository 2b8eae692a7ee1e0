#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "params/IntegerParameter.h"
#include "params/SwitchParameter.h"

namespace params {
namespace {

TEST(SwitchParameter, PositionThresholdIsOneHalfInclusive) {
    OnOffParameter p(nullptr, "clipOnOff", "Clipping", false);
    const struct {
        double position;
        bool value;
        const char* display;
    } cases[] = {{0.5, true, "on"},   {0.49999, false, "off"},
                 {1.0, true, "on"},   {0.75, true, "on"},
                 {0.0, false, "off"}, {std::numeric_limits<double>::quiet_NaN(), false, "off"}};
    p.setValue(true);
    for (const auto& c : cases) {
        p.setNormalisedValue(c.position);
        EXPECT_EQ(p.value(), c.value) << c.position;
        EXPECT_EQ(p.displayText(), c.display) << c.position;
        EXPECT_EQ(p.normalisedValue(), c.value ? 1.0 : 0.0);
    }
}

TEST(SwitchParameter, KindsShowTheirOwnTextsAndPersistTrueFalse) {
    SwitchParameter plain(nullptr, "s", "S", true);
    OnOffParameter onOff(nullptr, "o", "O", true);
    YesNoParameter yesNo(nullptr, "y", "Y", true);
    const struct {
        SwitchParameter& p;
        const char* on;
        const char* off;
    } kinds[] = {{plain, "true", "false"}, {onOff, "on", "off"}, {yesNo, "yes", "no"}};
    for (const auto& k : kinds) {
        EXPECT_EQ(k.p.unitLabel(), "");
        EXPECT_EQ(k.p.displayText(), k.on);
        EXPECT_EQ(k.p.valueToText(), "true");
        EXPECT_TRUE(k.p.setFromText("false"));
        EXPECT_EQ(k.p.displayText(), k.off);
        EXPECT_EQ(k.p.valueToText(), "false");
        EXPECT_TRUE(k.p.setFromText(k.p.valueToText()));
        EXPECT_FALSE(k.p.value());
        k.p.resetToDefault();
        EXPECT_TRUE(k.p.value());
    }
}

TEST(SwitchParameter, OnlyExactTextsAreAccepted) {
    OnOffParameter p(nullptr, "s", "S", false);
    for (const char* text : {"True", "TRUE", "1", "on", " true", "true ", ""}) {
        EXPECT_FALSE(p.setFromText(text)) << '"' << text << '"';
        EXPECT_FALSE(p.value());
    }
}

TEST(SwitchParameter, ChangedFlagFollowsRealChangesOnly) {
    OnOffParameter p(nullptr, "s", "S", false);
    EXPECT_TRUE(p.isChanged());
    EXPECT_FALSE(p.value());
    EXPECT_FALSE(p.isChanged());
    p.setNormalisedValue(0.2);
    EXPECT_FALSE(p.isChanged());
    p.setNormalisedValue(0.6);
    EXPECT_TRUE(p.isChanged());
}

TEST(IntegerParameter, PositionsSliceTheRangeEvenly) {
    IntegerParameter p(nullptr, "i", "I", "", 0, 4, 2);
    const struct {
        double position;
        std::int32_t value;
    } writes[] = {{0.0, 0},   {0.19, 0}, {0.21, 1}, {0.5, 2},
                  {0.999, 4}, {1.0, 4},  {1.7, 4},  {std::numeric_limits<double>::quiet_NaN(), 4},
                  {-3.0, 0}};
    for (const auto& w : writes) {
        p.setNormalisedValue(w.position);
        EXPECT_EQ(p.value(), w.value) << w.position;
    }
    for (std::int32_t v = 0; v <= 4; ++v) {
        p.setValue(v, true);
        const double position = p.normalisedValue();
        EXPECT_EQ(position, v / 4.0);
        p.setNormalisedValue(position);
        EXPECT_EQ(p.value(), v) << "read-back position selects the same value";
    }
}

TEST(IntegerParameter, ExtremeRangesNeitherOverflowNorDivideByZero) {
    constexpr std::int32_t lo = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t hi = std::numeric_limits<std::int32_t>::max();
    IntegerParameter wide(nullptr, "w", "W", "", lo, hi, 0);
    wide.setNormalisedValue(0.0);
    EXPECT_EQ(wide.value(), lo);
    wide.setNormalisedValue(0.9999999999);
    EXPECT_EQ(wide.value(), hi);
    EXPECT_EQ(wide.normalisedValue(), 1.0);

    IntegerParameter single(nullptr, "s", "S", "", 3, 3, 3);
    EXPECT_EQ(single.normalisedValue(), 0.5);
    single.setNormalisedValue(0.7);
    EXPECT_EQ(single.value(), 3);
}

TEST(IntegerParameter, TextsAndRangeChecks) {
    IntegerParameter p(nullptr, "i", "I", "st", -10, 10, 1);
    const struct {
        const char* text;
        bool accepted;
        std::int32_t value;
    } texts[] = {{"5", true, 5}, {"  -7 semitones", true, -7}, {"abc", false, 1},
                 {"", false, 1}, {"99999999999", false, 1},    {"3.9", true, 3}};
    for (const auto& t : texts) {
        p.resetToDefault();
        EXPECT_EQ(p.setFromText(t.text), t.accepted) << t.text;
        EXPECT_EQ(p.value(), t.value) << t.text;
        EXPECT_EQ(p.displayText(), std::to_string(t.value));
        EXPECT_EQ(p.valueToText(), p.displayText());
    }
    EXPECT_FALSE(p.setValue(11, true));
    EXPECT_EQ(p.value(), 3);
    EXPECT_TRUE(p.setValue(11, false));
    EXPECT_EQ(p.value(), 11);
}

}  // namespace
}  // namespace params
