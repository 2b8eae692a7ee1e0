// A port value and the VST 2 setting that shows the same text process the
// same audio, bit for bit. Each row is a VST 2 setting (positions by host
// index); its display texts become the LV2 port values, as a user would copy
// them from one host's generic view into another's. Texts are rounded to six
// digits, so a second VST 2 instance is set to the position each port value
// maps to: it must show the same texts and give exactly the LV2 output.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "Lv2TestHost.h"
#include "PluginHarness.h"

namespace {

using Setting = std::map<std::int32_t, float>;

constexpr std::int32_t kBankCount = 12;

struct Row {
    std::string name;
    Setting setting;
};

std::vector<Row> rows() {
    std::vector<Row> table;
    for (std::int32_t bank = 0; bank < kBankCount; ++bank) {
        for (const float mode : {0.0f, 1.0f}) {
            for (const float clip : {0.0f, 1.0f}) {
                table.push_back({"bank " + std::to_string(bank) + ", law " +
                                     std::to_string(int(mode)) + ", clipping " +
                                     std::to_string(int(clip)),
                                 {{param::filterBank, static_cast<float>(bank) / (kBankCount - 1)},
                                  {param::compressorMode, mode},
                                  {param::clipOnOff, clip},
                                  {param::masterDrive, 0.7f}}});
            }
        }
    }
    for (std::int32_t band = 0; band < 4; ++band) {
        table.push_back(
            {"listening to band " + std::to_string(band),
             {{param::listenTo, static_cast<float>(band + 1) / 4.0f}, {param::masterDrive, 0.6f}}});
    }
    // Any position of every parameter; the release stays above the shortest
    // time its port offers (0.2 ms, position 0.0563).
    std::mt19937 random(20261207);
    std::uniform_real_distribution<float> position(0.0f, 1.0f);
    for (int n = 0; n < 12; ++n) {
        Setting setting;
        for (std::int32_t index = 0;
             index < static_cast<std::int32_t>(lv2test::controlPorts().size()); ++index) {
            setting[index] = position(random);
        }
        setting[param::release] = 0.06f + 0.94f * setting[param::release];
        table.push_back({"random setting " + std::to_string(n), setting});
    }
    return table;
}

// The port value that shows a VST 2 display text.
float portValueFor(const lv2::ControlPort& port, const std::string& text) {
    switch (port.control.kind()) {
        case effect::ControlKind::choice:
            for (std::size_t i = 0; i < port.control.choiceTexts().size(); ++i) {
                if (port.control.choiceTexts()[i] == text) return static_cast<float>(i);
            }
            ADD_FAILURE() << port.control.identifier() << " has no choice " << text;
            return 0.0f;
        case effect::ControlKind::toggle:
            return text == "on" ? 1.0f : 0.0f;
        case effect::ControlKind::range:
            break;
    }
    return std::strtof(text.c_str(), nullptr);
}

TEST(Lv2MatchesVst2, SameTextsSameAudio) {
    const std::size_t frames = 6000;
    const testhost::Stereo signal = lv2test::testSignal(frames);
    const std::vector<lv2::ControlPort>& ports = lv2test::controlPorts();
    for (const Row& row : rows()) {
        SCOPED_TRACE(row.name);
        testhost::Plugin shown;
        for (const auto& [index, position] : row.setting) shown.setParameter(index, position);

        testhost::Plugin vst2;
        lv2test::Lv2Plugin lv2(44100.0);
        for (const lv2::ControlPort& port : ports) {
            const std::string text = shown.parameterDisplay(port.control.index());
            const float value = portValueFor(port, text);
            lv2.set(port.control.identifier(), value);
            // The LV2 plug-in leaves a port at its default alone; so does the twin.
            if (value != port.defaultValue) lv2test::setAsPort(vst2, port, value);
            EXPECT_EQ(vst2.parameterDisplay(port.control.index()), text) << port.control.identifier();
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
