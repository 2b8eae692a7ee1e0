#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "params/ChoiceParameter.h"
#include "params/ParameterList.h"

namespace params {
namespace {

using IntChoice = ChoiceParameter<std::int32_t>;

void addListenChoices(IntChoice& p) {
    ASSERT_TRUE(p.addChoice(-1, "allChannels", "All"));
    for (std::int32_t band = 0; band < 4; ++band) {
        const std::string n = std::to_string(band);
        ASSERT_TRUE(p.addChoice(band, "band" + n, "Band " + n));
    }
}

void addChoices(IntChoice& p, std::int32_t count) {
    for (std::int32_t i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        ASSERT_TRUE(p.addChoice(i, "c" + n, "C" + n));
    }
}

TEST(ChoiceParameter, FiveChoicesReadAndWriteTheirSlices) {
    IntChoice p(nullptr, "listenTo", "Listen to", "");
    addListenChoices(p);
    const double readBack[] = {0.0, 0.25, 0.5, 0.75, 1.0};
    for (std::int32_t i = 0; i < 5; ++i) {
        p.setValue(i - 1);
        EXPECT_EQ(p.normalisedValue(), readBack[i]);
    }
    struct Write {
        double position;
        std::int32_t key;
        const char* display;
    };
    const Write writes[] = {{0.0, -1, "All"},    {0.19, -1, "All"},  {0.21, 0, "Band 0"},
                            {0.3, 0, "Band 0"},  {0.5, 1, "Band 1"}, {0.79, 2, "Band 2"},
                            {0.81, 3, "Band 3"}, {1.0, 3, "Band 3"}, {0.999, 3, "Band 3"}};
    for (const Write& w : writes) {
        p.setNormalisedValue(w.position);
        EXPECT_EQ(p.value(), w.key) << w.position;
        EXPECT_EQ(p.displayText(), w.display) << w.position;
    }
    p.setNormalisedValue(0.3);
    EXPECT_EQ(p.normalisedValue(), 0.25);
}

TEST(ChoiceParameter, TwelveChoicesThroughTheHostsFloatPositions) {
    ParameterList list;
    IntChoice p(&list, "filterBank", "Filter bank", "");
    addChoices(p, 12);
    const struct {
        float position;
        std::int32_t key;
    } writes[] = {{2.0f / 11.0f, 2}, {1.0f, 11}, {0.999f, 11}, {0.0f, 0}, {0.5f, 6}};
    for (const auto& w : writes) {
        list.setNormalisedValue(0, w.position);
        EXPECT_EQ(p.value(), w.key) << w.position;
    }
}

TEST(ChoiceParameter, ReadBackPositionSelectsTheSameChoiceForEveryCount) {
    for (std::int32_t count = 2; count <= 16; ++count) {
        ParameterList list;
        IntChoice p(&list, "c", "C", "");
        addChoices(p, count);
        for (std::int32_t i = 0; i < count; ++i) {
            p.setValue(i);
            const auto position = static_cast<float>(list.normalisedValue(0));
            p.setValue(count - 1 - i);
            list.setNormalisedValue(0, position);
            EXPECT_EQ(p.value(), i) << count << " choices";
        }
    }
}

TEST(ChoiceParameter, TwoChoicesSplitAtOneHalf) {
    IntChoice p(nullptr, "compressorMode", "Compressor mode", "");
    ASSERT_TRUE(p.addChoice(0, "A", "A"));
    ASSERT_TRUE(p.addChoice(1, "B", "B"));
    p.setNormalisedValue(0.49);
    EXPECT_EQ(p.displayText(), "A");
    EXPECT_EQ(p.normalisedValue(), 0.0);
    p.setNormalisedValue(0.5);
    EXPECT_EQ(p.displayText(), "B");
    EXPECT_EQ(p.normalisedValue(), 1.0);
}

TEST(ChoiceParameter, FewerThanTwoChoicesReadOneHalfAndStaySafe) {
    IntChoice none(nullptr, "n", "N", "");
    EXPECT_EQ(none.normalisedValue(), 0.5);
    none.setNormalisedValue(0.7);
    none.resetToDefault();
    EXPECT_EQ(none.displayText(), "");
    EXPECT_EQ(none.valueToText(), "");
    EXPECT_EQ(none.value(), 0);
    EXPECT_FALSE(none.setFromText(""));
    EXPECT_TRUE(none.setValue(3));

    IntChoice one(nullptr, "o", "O", "");
    ASSERT_TRUE(one.addChoice(7, "seven", "Seven"));
    for (const double position : {0.0, 0.5, 1.0}) {
        one.setNormalisedValue(position);
        EXPECT_EQ(one.normalisedValue(), 0.5);
        EXPECT_EQ(one.value(), 7);
    }
}

TEST(ChoiceParameter, PositionsOutsideZeroToOneNeverIndexPastTheList) {
    IntChoice p(nullptr, "c", "C", "");
    addChoices(p, 3);
    const struct {
        double position;
        std::int32_t key;
    } cases[] = {{1.5, 2},
                 {-0.5, 0},
                 {std::numeric_limits<double>::infinity(), 2},
                 {std::numeric_limits<double>::quiet_NaN(), 2},
                 {1.0 - 1e-17, 2}};
    for (const auto& c : cases) {
        p.setNormalisedValue(c.position);
        EXPECT_EQ(p.value(), c.key) << c.position;
    }
}

TEST(ChoiceParameter, DuplicatesAreRefused) {
    IntChoice p(nullptr, "c", "C", "");
    ASSERT_TRUE(p.addChoice(1, "one", "One"));
    const struct {
        std::int32_t key;
        const char* identifier;
        const char* displayName;
    } duplicates[] = {{1, "uno", "Uno"}, {2, "one", "Two"}, {2, "two", "One"}};
    for (const auto& d : duplicates) {
        EXPECT_FALSE(p.addChoice(d.key, d.identifier, d.displayName)) << d.identifier;
    }
    EXPECT_EQ(p.choiceCount(), 1u);
    EXPECT_TRUE(p.addChoice(2, "two", "Two"));
    EXPECT_EQ(p.choiceCount(), 2u);
}

TEST(ChoiceParameter, TextsRoundTripAndUnknownInputKeepsTheSelection) {
    IntChoice p(nullptr, "listenTo", "Listen to", "");
    addListenChoices(p);
    IntChoice copy(nullptr, "listenTo", "Listen to", "");
    addListenChoices(copy);
    for (std::int32_t key = -1; key < 4; ++key) {
        p.setValue(key);
        ASSERT_TRUE(copy.setFromText(p.valueToText()));
        EXPECT_EQ(copy.value(), key);
    }
    (void)copy.value();
    EXPECT_FALSE(copy.setFromText("Band 1")) << "display names are not the persistence form";
    EXPECT_FALSE(copy.setFromText("band9"));
    EXPECT_TRUE(copy.setValue(42));
    EXPECT_FALSE(copy.isChanged());
    EXPECT_EQ(copy.value(), 3);
}

TEST(ChoiceParameter, DefaultAndChangedFlag) {
    IntChoice p(nullptr, "c", "C", "");
    addChoices(p, 4);
    EXPECT_TRUE(p.isChanged());
    EXPECT_EQ(p.value(), 0);
    EXPECT_FALSE(p.isChanged());
    p.setValue(0);
    EXPECT_FALSE(p.isChanged());
    EXPECT_TRUE(p.setDefault(2));
    EXPECT_TRUE(p.isChanged());
    p.setValue(3);
    p.resetToDefault();
    EXPECT_EQ(p.value(), 2);
}

TEST(ChoiceParameter, OwnerTakesPointerKeysBackWithPopChoice) {
    ChoiceParameter<int*> p(nullptr, "bank", "Bank", "");
    for (int i = 0; i < 3; ++i) {
        const std::string n = std::to_string(i);
        ASSERT_TRUE(p.addChoice(new int(i), "b" + n, "B" + n));
    }
    p.setNormalisedValue(1.0);
    int* key = nullptr;
    ASSERT_TRUE(p.popChoice(key));
    EXPECT_EQ(*key, 2);
    delete key;
    // The selection now points past the shortened list; reads answer neutrally.
    EXPECT_EQ(p.value(), nullptr);
    EXPECT_EQ(p.displayText(), "");
    EXPECT_EQ(p.normalisedValue(), 0.5);
    for (int expected = 1; expected >= 0; --expected) {
        ASSERT_TRUE(p.popChoice(key));
        EXPECT_EQ(*key, expected);
        delete key;
    }
    EXPECT_FALSE(p.popChoice(key));
    EXPECT_EQ(p.choiceCount(), 0u);
}

}  // namespace
}  // namespace params
