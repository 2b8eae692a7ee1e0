#include "SignalPathPlots.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "PluginHarness.h"

namespace host::test {
namespace {

TEST(SignalPathPlots, EveryBanksBandsSumFlatAndSplitLowToHigh) {
    for (std::size_t bank = 0; bank < 12; ++bank) {
        const BankResponse response = measureBankResponse(bank, kDefaultCrossovers, 48000.0f);
        for (const double sum : response.sumDb) EXPECT_NEAR(sum, 0.0, 0.05) << "bank " << bank;
        // Band 0 carries 20 Hz, band 3 carries 20 kHz, each within 3 dB.
        EXPECT_GT(response.bandDb[0].front(), -3.0) << "bank " << bank;
        EXPECT_GT(response.bandDb[3].back(), -3.0) << "bank " << bank;
        EXPECT_LT(response.bandDb[3].front(), -20.0) << "bank " << bank;
        EXPECT_LT(response.bandDb[0].back(), -20.0) << "bank " << bank;
    }
}

// A band input of 0.25 is driven by the default input gain 4 to a steady level
// of 1, where the plain law settles at g + g^3 = 1 and the square-root law at
// g^2 + g^4 = 1; the default small-signal gain of a band is 0.6.
TEST(SignalPathPlots, StaticCurvesSettleWhereTheGainLawsSay) {
    const double input = 20.0 * std::log10(0.25);
    EXPECT_NEAR(staticBandOutputDb(false, 0.0, input, 44100.0f),
                20.0 * std::log10(0.25 * 0.6 * 0.6823278), 0.01);
    EXPECT_NEAR(staticBandOutputDb(true, 0.0, input, 44100.0f),
                20.0 * std::log10(0.25 * 0.6 * 0.7861514), 0.01);
    EXPECT_NEAR(staticBandOutputDb(false, 0.0, -80.0, 44100.0f), -80.0 + 20.0 * std::log10(0.6),
                0.01);
}

// The plots name the banks and the clipper's states as a host shows them,
// read from the plug-in's own parameter displays.
TEST(SignalPathPlots, NameBanksAndClippingAsHostsShowThem) {
    testhost::Plugin plugin;
    const auto titled = [](const std::string& svg, const std::string& text) {
        return svg.find(">" + escapeXml(text) + "</text>") != std::string::npos;
    };
    const std::string banks = filterBankFigure(kDefaultCrossovers, 8000.0f).svg();
    for (int bank = 0; bank < 12; ++bank) {
        plugin.setParameter(param::filterBank, static_cast<float>(bank) / 11.0f);
        const std::string shown = plugin.parameterDisplay(param::filterBank);
        EXPECT_TRUE(titled(banks, shown)) << shown;
    }
    const std::string curves = compressorCurveFigure({0.0}, 8000.0f).svg();
    for (const float position : {0.0f, 1.0f}) {
        plugin.setParameter(param::clipOnOff, position);
        const std::string shown = plugin.parameterName(param::clipOnOff) + " " +
                                  plugin.parameterDisplay(param::clipOnOff);
        EXPECT_TRUE(titled(curves, shown)) << shown;
    }
}

TEST(SvgFigure, DrawsEverySeriesAndEscapesText) {
    SvgPlot panel("Clip hard<>soft & more", {"x", 1.0, 100.0, true, {1, 10, 100}},
                  {"y", -1.0, 1.0, false, {-1, 0, 1}});
    panel.add({"one", "red", {{1.0, 0.0}, {100.0, 0.5}}, false});
    panel.add({"two", "blue", {{1.0, 5.0}, {10.0, NAN}, {100.0, -0.5}}, true});
    SvgFigure figure("title", 2, 300, 200);
    figure.add(panel);
    const std::string svg = figure.svg();
    EXPECT_NE(svg.find("Clip hard&lt;&gt;soft &amp; more"), std::string::npos);
    EXPECT_EQ(std::count(svg.begin(), svg.end(), '<') - std::count(svg.begin(), svg.end(), '>'), 0);
    std::size_t polylines = 0;
    for (auto at = svg.find("<polyline"); at != std::string::npos;
         at = svg.find("<polyline", at + 1)) {
        ++polylines;
    }
    EXPECT_EQ(polylines, 2u);
    EXPECT_EQ(svg.find("nan"), std::string::npos) << "a NaN point must be left out";
}

}  // namespace
}  // namespace host::test
