// A port value and the VST 2 setting that shows the same text process the
// same audio, bit for bit. Each row is a VST 2 setting (positions by host
// index); its display texts become the LV2 port values, as a user would copy
// them from one host's generic view into another's. Texts are rounded to six
// digits, so a second VST 2 instance is set to the position each port value
// maps to: it must show the same texts and give exactly the LV2 output.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Lv2TestHost.h"
#include "PluginHarness.h"
#include "SettingTable.h"

namespace {

// The port value that shows a VST 2 display text.
float portValueFor(const lv2::ControlPort& port, const std::string& text) {
    switch (port.control.kind()) {
        case engine::ControlKind::choice:
            for (std::size_t i = 0; i < port.control.choiceTexts().size(); ++i) {
                if (port.control.choiceTexts()[i] == text) return static_cast<float>(i);
            }
            ADD_FAILURE() << port.control.symbol() << " has no choice " << text;
            return 0.0f;
        case engine::ControlKind::toggle:
            return text == "on" ? 1.0f : 0.0f;
        default:
            break;
    }
    return std::strtof(text.c_str(), nullptr);
}

TEST(Lv2MatchesVst2, SameTextsSameAudio) {
    const std::size_t frames = 6000;
    const testhost::Stereo signal = testhost::burstSignal(frames);
    const std::vector<lv2::ControlPort>& ports = lv2test::controlPorts();
    for (const testhost::SettingRow& row : testhost::settingTable()) {
        SCOPED_TRACE(row.name);
        testhost::Plugin shown;
        for (const auto& [index, position] : row.setting) shown.setParameter(index, position);

        testhost::Plugin vst2;
        lv2test::Lv2Plugin lv2(44100.0);
        for (const lv2::ControlPort& port : ports) {
            const auto index = static_cast<std::int32_t>(port.control.id());
            const std::string text = shown.parameterDisplay(index);
            const float value = portValueFor(port, text);
            lv2.set(port.control.symbol(), value);
            // The LV2 plug-in leaves a port at its default alone; so does the twin.
            if (value != port.defaultValue) lv2test::setAsPort(vst2, port, value);
            EXPECT_EQ(vst2.parameterDisplay(index), text) << port.control.symbol();
        }
        const testhost::Stereo expected = testhost::render(vst2, signal, 512);
        std::vector<float> left;
        std::vector<float> right;
        lv2.process(signal.left, signal.right, left, right, 512);
        ASSERT_EQ(expected.left, left);
        ASSERT_EQ(expected.right, right);
    }
}

}  // namespace
