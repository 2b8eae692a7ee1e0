#include "ParameterSetter.h"

#include <gtest/gtest.h>

#include "HostError.h"
#include "HostTestSupport.h"

namespace host::test {
namespace {

TEST(ParameterSetter, ReachesValuesByNameOrIndexInDisplayTermsOrPositions) {
    struct Case {
        std::string setting;
        bool normalised;
        std::string display;
    };
    const Case cases[] = {
        {"Gain=6", false, "6.00"},
        {"gain = -23.5", false, "-23.50"},  // case, spaces, a number between grid points
        {"Gain=12 dB", false, "12.00"},     // with its unit
        {"Gain=24", false, "24.00"},        // the top end
        {"0=-24", false, "-24.00"},         // by index, the bottom end
        {"Shape=hard", false, "Hard"},
        {"Shape=Medium", false, "Medium"},
        {"Invert=on", false, "on"},
        {"2=off", false, "off"},
        {"Gain=0.75", true, "12.00"},
        {"shape=0", true, "Soft"},
    };
    PluginInstance plugin(kTestEffect, 48000.0, 512);
    ParameterSetter setter(plugin);
    for (const Case& c : cases) {
        const ParameterState state = setter.apply(parseAssignment(c.setting, c.normalised));
        EXPECT_EQ(state.display, c.display) << c.setting;
        EXPECT_EQ(plugin.parameterDisplay(state.index), c.display) << c.setting;
    }
}

TEST(ParameterSetter, ChoicesLandInTheMiddleOfTheirRange) {
    PluginInstance plugin(kTestEffect, 48000.0, 512);
    ParameterSetter setter(plugin);
    const float medium = setter.apply(parseAssignment("Shape=Medium", false)).position;
    EXPECT_NEAR(medium, 0.5f, 0.01f);
    const float on = setter.apply(parseAssignment("Invert=on", false)).position;
    EXPECT_NEAR(on, 0.75f, 0.01f);
}

TEST(ParameterSetter, RejectsWhatCannotBeSet) {
    struct Case {
        std::string setting;
        bool normalised;
        std::string reason;
    };
    const Case cases[] = {
        {"Volume=3", false, "unknown parameter 'Volume'"},
        {"7=3", false, "out of range"},
        {"Gain=30", false, "cannot reach 30: it spans -24 to 24 dB"},
        {"Gain=loud", false, "cannot show 'loud'"},
        {"Shape=Extreme", false, "it shows Soft, Medium, Hard"},
        {"Invert=1.5", true, "must be a number from 0 to 1"},
        {"Invert=yes", true, "must be a number from 0 to 1"},
    };
    PluginInstance plugin(kTestEffect, 48000.0, 512);
    ParameterSetter setter(plugin);
    for (const Case& c : cases) {
        try {
            setter.apply(parseAssignment(c.setting, c.normalised));
            ADD_FAILURE() << c.setting << " was accepted";
        } catch (const HostError& error) {
            EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos)
                << c.setting << ": " << error.what();
        }
    }
    EXPECT_THROW(parseAssignment("Gain", false), HostError);
    EXPECT_THROW(parseAssignment("=3", false), HostError);
}

}  // namespace
}  // namespace host::test
