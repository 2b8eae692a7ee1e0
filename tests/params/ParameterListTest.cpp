#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "params/ParameterList.h"
#include "params/RangeParameterKinds.h"
#include "params/SwitchParameter.h"

namespace params {
namespace {

constexpr char sentinel = '\x7f';

struct Buffer {
    std::array<char, 40> bytes;
    Buffer() { bytes.fill(sentinel); }
    // Number of leading bytes the copy touched: everything before the first untouched sentinel.
    std::size_t written() const {
        std::size_t n = 0;
        while (n < bytes.size() && bytes[n] != sentinel) ++n;
        return n;
    }
    std::string text() const { return std::string(bytes.data(), strnlen(bytes.data(), 40)); }
};

enum class Copy { name, label, display };

void copy(const ParameterList& list, Copy what, std::int32_t index, Buffer& buffer) {
    switch (what) {
        case Copy::name:
            list.copyDisplayName(index, buffer.bytes.data());
            break;
        case Copy::label:
            list.copyUnitLabel(index, buffer.bytes.data());
            break;
        case Copy::display:
            list.copyDisplayText(index, buffer.bytes.data());
            break;
    }
}

class ParameterListCopy : public ::testing::Test {
  protected:
    ParameterList list;
    // "-0.00086..." needs more than 8 characters.
    DecibelParameter shortTexts{&list, "drive", "Band 0 drive adjust", 0.9999, 0.1, 10.0};
    FrequencyParameter longTexts{
        &list, "f", "A display name longer than the host allows", 632.4555320336759, 20.0, 20000.0};
    OnOffParameter exactTexts{&list, "s", "Twenty-four characters!!", false};
};

TEST_F(ParameterListCopy, WritesExactlyTheBoundedLengthAndCutsLongTexts) {
    const struct {
        Copy what;
        std::int32_t index;
        std::size_t written;
        const char* text;
    } cases[] = {
        {Copy::name, 0, 25, "Band 0 drive adjust"},
        {Copy::name, 1, 25, "A display name longer th"},
        {Copy::name, 2, 25, "Twenty-four characters!!"},
        {Copy::label, 0, 9, "dB"},
        {Copy::label, 2, 9, ""},
        {Copy::display, 0, 9, "-0.00086"},
        {Copy::display, 1, 9, "632.456"},
        {Copy::display, 2, 9, "off"},
        {Copy::name, 3, 1, ""},
        {Copy::label, -1, 1, ""},
        {Copy::display, std::numeric_limits<std::int32_t>::min(), 1, ""},
    };
    for (const auto& c : cases) {
        Buffer buffer;
        copy(list, c.what, c.index, buffer);
        SCOPED_TRACE(c.text);
        EXPECT_EQ(buffer.written(), c.written);
        EXPECT_EQ(buffer.text(), c.text);
        EXPECT_EQ(buffer.bytes[c.written - 1], '\0');
    }
}

TEST_F(ParameterListCopy, BadPositionsAndIndexesAndTheReportedPositionAreIgnored) {
    ASSERT_EQ(list.size(), 3u);
    (void)longTexts.value();
    const double before = list.normalisedValue(1);
    const std::int32_t badIndexes[] = {3, 20, -1};
    for (const std::int32_t index : badIndexes) {
        list.setNormalisedValue(index, 0.5f);
        EXPECT_EQ(list.normalisedValue(index), 0.0);
    }
    const float badPositions[] = {std::numeric_limits<float>::quiet_NaN(), -0.0001f, 1.0001f,
                                  std::numeric_limits<float>::infinity()};
    for (const float x : badPositions) list.setNormalisedValue(1, x);
    EXPECT_EQ(list.normalisedValue(1), before);
    EXPECT_FALSE(longTexts.isChanged());

    // Written back, the reported position keeps a value no float position reaches.
    (void)shortTexts.value();
    list.setNormalisedValue(0, static_cast<float>(list.normalisedValue(0)));
    EXPECT_FALSE(shortTexts.isChanged());
    EXPECT_EQ(shortTexts.value(), 0.9999);

    list.setNormalisedValue(1, 1.0f);
    EXPECT_EQ(longTexts.value(), 20000.0);
    list.setNormalisedValue(1, 0.0f);
    EXPECT_EQ(longTexts.value(), 20.0);
}

TEST(ParameterList, RegistrationOrderIsTheHostIndex) {
    ParameterList list;
    PercentParameter first(&list, "a", "First", 0.25, 0.0, 1.0);
    PercentParameter unlisted(nullptr, "u", "Unlisted", 0.5, 0.0, 1.0);
    OnOffParameter second(&list, "b", "Second", true);
    EXPECT_EQ(list.size(), 2u);
    EXPECT_EQ(list.normalisedValue(0), 0.25);
    EXPECT_EQ(list.normalisedValue(1), 1.0);
    EXPECT_TRUE(list.listName.empty());
}

}  // namespace
}  // namespace params
