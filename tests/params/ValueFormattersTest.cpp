#include <gtest/gtest.h>

#include <locale>
#include <string>

#include "params/RangeParameterKinds.h"
#include "params/ValueFormatters.h"

namespace params {
namespace {

struct FormatCase {
    const ValueFormatter& formatter;
    double value;
    const char* text;
};

TEST(ValueFormatters, WriteNumbersLikeADefaultStream) {
    const FormatCase cases[] = {
        {plainFormatter(), 0.5, "0.5"},
        {plainFormatter(), 200.0, "200"},
        {plainFormatter(), 632.4555320336759, "632.456"},
        {plainFormatter(), 1234567.0, "1.23457e+06"},
        {plainFormatter(), 0.0001, "0.0001"},
        {plainFormatter(), 0.00001, "1e-05"},
        {decibelFormatter(), 0.0, "-oo"},
        {decibelFormatter(), -0.0, "-oo"},
        {decibelFormatter(), 1.0, "0"},
        {decibelFormatter(), 1.0000000000000002, "0"},
        {decibelFormatter(), 0.9999997, "0"},
        {decibelFormatter(), 1.0000116, "0.000100756"},
        {decibelFormatter(), 0.3, "-10.4576"},
        {decibelFormatter(), 4.0, "12.0412"},
        {decibelFormatter(), 1000.0, "60"},
        {percentFormatter(), 0.1, "10"},
        {percentFormatter(), 0.5, "50"},
        {milliFormatter(), 0.1, "100"},
        {milliFormatter(), 1.25, "1250"},
        {milliFormatter(), 20.0, "20000"},
    };
    for (const FormatCase& c : cases) {
        EXPECT_EQ(c.formatter.format(c.value), c.text) << "value " << c.value;
    }
}

// A host may switch the program's global locale to one with a decimal comma and digit grouping.
struct CommaDecimal final : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST(ValueFormatters, IgnoreTheGlobalLocale) {
    const std::locale previous =
        std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    PercentParameter percent(nullptr, "p", "P", 0.5, 0.0, 1.0);
    const std::string plain = plainFormatter().format(1234.5);
    const std::string persisted = percent.valueToText();
    const bool read = percent.setFromText("0.25");
    const double readValue = percent.value();
    std::locale::global(previous);

    EXPECT_EQ(plain, "1234.5");
    EXPECT_EQ(persisted, "0.5");
    EXPECT_TRUE(read);
    EXPECT_EQ(readValue, 0.25);
}

}  // namespace
}  // namespace params
