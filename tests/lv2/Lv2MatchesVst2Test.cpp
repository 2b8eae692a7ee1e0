// A port value and the VST 2 setting that shows the same text process the
// same audio, bit for bit. Each row is a VST 2 setting (positions by host
// index); its display texts become the LV2 port values, as a user would copy
// them from one host's generic view into another's. Texts are rounded to six
// digits, so a second VST 2 instance is set to the position each port value
// maps to: it must show the same texts and give exactly the LV2 output.
// Every factory preset the bundle lists, loaded as hosts load one, sounds
// like the VST 2 plug-in set to the preset's positions.
#include <gtest/gtest.h>

#include <algorithm>
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

// Each preset is loaded at kPresetSwitchFrame over the one before it in the
// table, as a user steps through a host's preset menu: it must set every
// port. A value typed other than as a float would be skipped, as hosts skip it.
TEST(Lv2MatchesVst2, EveryPresetOfTheBundle) {
    const std::vector<testhost::SettingRow> table = testhost::presetTable();
    const std::vector<lv2test::Lv2Preset> presets = lv2test::Lv2Bundle::shared().presets();
    ASSERT_EQ(presets.size(), table.size());
    const auto presetNamed = [&](const std::string& name) {
        const auto found = std::find_if(presets.begin(), presets.end(),
                                        [&](const auto& preset) { return preset.label == name; });
        if (found == presets.end()) throw std::runtime_error("the bundle has no preset " + name);
        return *found;
    };
    const testhost::Stereo signal = testhost::burstSignal(2 * testhost::kPresetSwitchFrame);
    const std::uint32_t block = 512;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const testhost::SettingRow& before = table[(i + table.size() - 1) % table.size()];
        SCOPED_TRACE(table[i].name);
        const lv2test::Lv2Preset preset = presetNamed(table[i].name);
        ASSERT_EQ(preset.values.size(), lv2test::controlPorts().size());
        testhost::Plugin vst2;
        const testhost::Stereo expected =
            testhost::renderSwitched(vst2, signal, before.setting, table[i].setting, block);

        lv2test::Lv2Plugin lv2(testhost::kSampleRate);
        testhost::Stereo actual(signal.frames());
        for (std::size_t from = 0; from < signal.frames(); from += block) {
            const bool switching = from == testhost::kPresetSwitchFrame;
            if (from == 0 || switching) {
                for (const auto& [symbol, value] :
                     (switching ? preset : presetNamed(before.name)).values) {
                    lv2.set(symbol, value);
                }
            }
            lv2.run(signal.left.data() + from, signal.right.data() + from,
                    actual.left.data() + from, actual.right.data() + from, block);
        }
        ASSERT_EQ(actual, expected);
    }
}

}  // namespace
