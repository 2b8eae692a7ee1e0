#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

#include "TestEffect.h"

namespace vst::test {
namespace {

constexpr char kStale = '#';
constexpr std::size_t kGuardedSize = 24;

// Runs a helper on a buffer full of stale characters and checks that it wrote
// a terminated text within the 9-byte budget and nothing beyond.
std::string writeText(const std::function<void(char*)>& helper) {
    char buffer[kGuardedSize];
    std::memset(buffer, kStale, sizeof buffer);
    helper(buffer);
    for (std::size_t i = kNumberTextSize; i < kGuardedSize; ++i) {
        EXPECT_EQ(buffer[i], kStale) << "byte " << i << " written";
    }
    const void* end = std::memchr(buffer, '\0', kNumberTextSize);
    EXPECT_NE(end, nullptr) << "no terminator within the budget";
    if (end == nullptr) return {};
    return std::string(buffer);
}

struct FloatRow {
    float value;
    const char* text;
};

TEST(NumberText, Float2stringCutsToEightCharacters) {
    const float inf = std::numeric_limits<float>::infinity();
    const FloatRow rows[] = {
        {0.0f, "0.000000"},
        {-0.0f, "0.000000"},
        {1.5f, "1.500000"},
        {-1.5f, "-1.50000"},
        {-0.25f, "-0.25000"},
        {7.0f, "7.000000"},
        {0.7f, "0.699999"},  // cut, not rounded
        {123.456f, "123.4560"},
        {1000.0f, "1000.000"},
        {1234567.0f, "1234567."},
        {-123456.0f, "-123456."},
        {0.0000001f, "0.000000"},
        // Integer parts with no room for the point show every digit.
        {12345678.0f, "12345678"},
        {99999992.0f, "99999992"},
        {-1234567.0f, "-1234567"},
        {-9999999.0f, "-9999999"},
        // Beyond eight characters, and values that are no numbers.
        {100000000.0f, "Huge!"},
        {-10000000.0f, "-Huge!"},
        {inf, "Huge!"},
        {-inf, "-Huge!"},
        {std::nanf(""), "NaN"},
    };
    HostSide host;
    for (const FloatRow& row : rows) {
        EXPECT_EQ(writeText([&](char* t) { host.effect->float2string(row.value, t); }), row.text)
            << row.value;
    }
}

TEST(NumberText, Long2stringPadsToSevenAndShowsHugeBeyondEight) {
    struct Row {
        std::int32_t value;
        const char* text;
    };
    const Row rows[] = {
        {42, "     42"},
        {-42, "    -42"},
        {0, "      0"},
        {1234567, "1234567"},
        {12345678, "12345678"},
        {99999999, "99999999"},
        {100000000, "Huge!"},
        {std::numeric_limits<std::int32_t>::max(), "Huge!"},
        {-9999999, "-9999999"},
        // A cut "-1234567" would show a wrong number.
        {-10000000, "-Huge!"},
        {-123456789, "-Huge!"},
        {std::numeric_limits<std::int32_t>::min(), "-Huge!"},
    };
    HostSide host;
    for (const Row& row : rows) {
        EXPECT_EQ(writeText([&](char* t) { host.effect->long2string(row.value, t); }), row.text)
            << row.value;
    }
}

TEST(NumberText, DB2stringShowsDecibelsAndMinusInfinity) {
    const FloatRow rows[] = {
        {1.0f, "0.000000"},     {0.5f, "-6.02059"},
        {2.0f, "6.020599"},     {10.0f, "20.00000"},
        {0.0f, "-oo"},          {-1.0f, "-oo"},
        {std::nanf(""), "-oo"}, {std::numeric_limits<float>::infinity(), "Huge!"},
    };
    HostSide host;
    for (const FloatRow& row : rows) {
        EXPECT_EQ(writeText([&](char* t) { host.effect->dB2string(row.value, t); }), row.text)
            << row.value;
    }
}

TEST(NumberText, Hz2stringAndMs2stringUseTheSampleRate) {
    HostSide host;
    ASSERT_EQ(host.effect->getSampleRate(), 44100.0f);
    EXPECT_EQ(writeText([&](char* t) { host.effect->Hz2string(100.0f, t); }), "441.0000");
    EXPECT_EQ(writeText([&](char* t) { host.effect->Hz2string(0.0f, t); }), "0.000000");
    EXPECT_EQ(writeText([&](char* t) { host.effect->Hz2string(1e-30f, t); }), "Huge!");
    EXPECT_EQ(writeText([&](char* t) { host.effect->ms2string(441.0f, t); }), "10.00000");
    EXPECT_EQ(writeText([&](char* t) { host.effect->ms2string(44100.0f, t); }), "1000.000");

    host.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    EXPECT_EQ(writeText([&](char* t) { host.effect->Hz2string(100.0f, t); }), "480.0000");
    EXPECT_EQ(writeText([&](char* t) { host.effect->ms2string(48.0f, t); }), "1.000000");

    // A host that announces a zero rate gets a text, not stale bytes.
    host.dispatch(effSetSampleRate, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(writeText([&](char* t) { host.effect->ms2string(1.0f, t); }), "Huge!");
    EXPECT_EQ(writeText([&](char* t) { host.effect->ms2string(0.0f, t); }), "NaN");
}

}  // namespace
}  // namespace vst::test
