// The bundle as an LV2 host sees it: the ports against the parameter list and
// the VST 2 plug-in's texts, instantiation, runs of any size in separate and
// shared buffers, control values as hosts send them, activation and meters.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "BypassCheck.h"
#include "Lv2TestHost.h"
#include "PluginHarness.h"
#include "SettingTable.h"
#include "effect/CompressorEffect.h"
#include "lv2/PortLayout.h"
#include "params/Parameter.h"
#include "params/ParameterList.h"

namespace {

using lv2test::Lv2Bundle;
using lv2test::Lv2Plugin;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

std::string nodeText(const LilvNode* node) {
    return node != nullptr ? lilv_node_as_string(node) : "";
}

// The first value of a port's property, as a string ("" when absent).
std::string portValue(const LilvPort* port, const char* predicate) {
    const Lv2Bundle& bundle = Lv2Bundle::shared();
    LilvNode* uri = lilv_new_uri(bundle.world(), predicate);
    LilvNodes* values = lilv_port_get_value(bundle.plugin(), port, uri);
    lilv_node_free(uri);
    const std::string text = values != nullptr ? nodeText(lilv_nodes_get_first(values)) : "";
    lilv_nodes_free(values);
    return text;
}

bool portHas(const LilvPort* port, const char* property) {
    const Lv2Bundle& bundle = Lv2Bundle::shared();
    LilvNode* uri = lilv_new_uri(bundle.world(), property);
    const bool has = lilv_port_has_property(bundle.plugin(), port, uri);
    lilv_node_free(uri);
    return has;
}

bool pluginHasFeature(const char* feature, bool required) {
    const Lv2Bundle& bundle = Lv2Bundle::shared();
    LilvNodes* features = required ? lilv_plugin_get_required_features(bundle.plugin())
                                   : lilv_plugin_get_optional_features(bundle.plugin());
    LilvNode* uri = lilv_new_uri(bundle.world(), feature);
    const bool has = lilv_nodes_contains(features, uri);
    lilv_node_free(uri);
    lilv_nodes_free(features);
    return has;
}

void expectSameAudio(const float* expected, const float* actual, std::size_t frames,
                     const std::string& what) {
    for (std::size_t i = 0; i < frames; ++i) {
        ASSERT_EQ(expected[i], actual[i]) << what << ", frame " << i;
    }
}

void expectSameAudio(const std::vector<float>& expected, const std::vector<float>& actual,
                     const std::string& what) {
    ASSERT_EQ(expected.size(), actual.size()) << what;
    expectSameAudio(expected.data(), actual.data(), expected.size(), what);
}

TEST(Lv2Plugin, PortsAndDescriptionFollowTheParameterListAndTheVst2Texts) {
    const Lv2Bundle& bundle = Lv2Bundle::shared();
    const effect::CompressorEffect effect(nullptr);
    const params::ParameterList& parameters = effect.parameterList();
    const auto count = static_cast<std::uint32_t>(parameters.size());
    ASSERT_EQ(bundle.portCount(), lv2::kFirstControlPort + count + lv2::kMeterCount + 1);
    EXPECT_FALSE(pluginHasFeature(LV2_CORE__hardRTCapable, true));
    EXPECT_TRUE(pluginHasFeature(LV2_CORE__hardRTCapable, false));
    LilvNodes* required = lilv_plugin_get_required_features(bundle.plugin());
    EXPECT_EQ(lilv_nodes_size(required), 0u);
    lilv_nodes_free(required);

    testhost::Plugin vst2;
    testhost::Plugin probe;
    for (std::uint32_t i = 0; i < count; ++i) {
        const auto index = static_cast<std::int32_t>(i);
        const params::Parameter& parameter = *parameters.at(index);
        const LilvPort* port =
            lilv_plugin_get_port_by_index(bundle.plugin(), lv2::kFirstControlPort + i);
        SCOPED_TRACE(parameter.identifier());
        EXPECT_EQ(nodeText(lilv_port_get_symbol(bundle.plugin(), port)), parameter.identifier());
        LilvNode* name = lilv_port_get_name(bundle.plugin(), port);
        EXPECT_EQ(nodeText(name), parameter.displayName());
        lilv_node_free(name);
        const std::string shownDefault = vst2.parameterDisplay(index);
        const float portDefault = std::strtof(portValue(port, LV2_CORE__default).c_str(), nullptr);
        LilvScalePoints* points = lilv_port_get_scale_points(bundle.plugin(), port);
        if (points != nullptr) {
            // A choice: integer positions labelled with the VST 2 texts.
            EXPECT_TRUE(portHas(port, LV2_CORE__integer));
            EXPECT_TRUE(portHas(port, LV2_CORE__enumeration));
            const unsigned size = lilv_scale_points_size(points);
            LILV_FOREACH(scale_points, it, points) {
                const LilvScalePoint* point = lilv_scale_points_get(points, it);
                const int value = lilv_node_as_int(lilv_scale_point_get_value(point));
                testhost::Plugin chooser;
                chooser.setParameter(index,
                                     static_cast<float>(value) / static_cast<float>(size - 1));
                EXPECT_EQ(nodeText(lilv_scale_point_get_label(point)),
                          chooser.parameterDisplay(index));
                if (nodeText(lilv_scale_point_get_label(point)) == shownDefault) {
                    EXPECT_EQ(portDefault, static_cast<float>(value));
                }
            }
            lilv_scale_points_free(points);
        } else if (portHas(port, LV2_CORE__toggled)) {
            EXPECT_EQ(portDefault, shownDefault == "on" ? 1.0f : 0.0f);
        } else {
            // A number in the unit of the VST 2 display.
            const float shown = std::strtof(shownDefault.c_str(), nullptr);
            EXPECT_NEAR(portDefault, shown, 1e-5f * std::fabs(shown) + 1e-6f) << shownDefault;
            const std::string unit = portValue(port, "http://lv2plug.in/ns/extensions/units#unit");
            EXPECT_FALSE(unit.empty());
            EXPECT_EQ(portHas(port, "http://lv2plug.in/ns/ext/port-props#logarithmic"),
                      parameter.unitLabel() == "Hz" || parameter.unitLabel() == "ms");
        }
        // The description every face reads: the default maps to exactly the
        // VST 2 default position (as a double and as the port's float), texts
        // are the VST 2 display's, and a typed text or a shown value leads
        // back to a position that shows the same.
        const engine::Control& control = lv2test::controlPort(parameter.identifier()).control;
        const auto vst2Default = static_cast<double>(vst2.parameter(index));
        EXPECT_EQ(control.name(), vst2.parameterName(index));
        EXPECT_EQ(control.unitLabel(), vst2.parameterLabel(index));
        EXPECT_EQ(control.positionFor(control.defaultValue()), vst2Default);
        EXPECT_EQ(control.positionFor(static_cast<double>(portDefault)), vst2Default);
        EXPECT_EQ(control.defaultPosition(), vst2Default);
        for (const float position : {0.0f, 0.0321f, 0.4f, 0.77f, 1.0f}) {
            probe.setParameter(index, position);
            const std::string text = probe.parameterDisplay(index);
            EXPECT_EQ(control.displayText(static_cast<double>(position)), text) << position;
            const std::optional<double> typed =
                control.positionFromText(text + " " + probe.parameterLabel(index));
            ASSERT_TRUE(typed.has_value()) << text;
            const double shown =
                control.positionFor(control.shownAt(static_cast<double>(position)));
            for (const double at : {*typed, shown}) {
                probe.setParameter(index, static_cast<float>(at));
                EXPECT_EQ(probe.parameterDisplay(index), text) << position << " as " << at;
            }
        }
    }
}

TEST(Lv2Plugin, InstantiateRefusesUnusableRates) {
    for (const double rate :
         {0.0, -44100.0, static_cast<double>(kNaN), static_cast<double>(kInfinity), 1e300}) {
        LilvInstance* instance = Lv2Plugin::instantiate(rate);
        EXPECT_EQ(instance, nullptr) << rate;
        if (instance != nullptr) lilv_instance_free(instance);
    }
}

// At every rate, runs of 0, 1, odd and large sizes, in separate buffers and in
// place, give exactly the VST 2 plug-in's output at that rate.
TEST(Lv2Plugin, AnyRunSizeInSeparateOrSharedBuffersMatchesVst2) {
    const std::size_t frames = 9000;
    for (const double rate : {44100.0, 48000.0, 96000.0}) {
        const testhost::Stereo signal = testhost::burstSignal(frames, rate);
        host::PluginInstance vst2(testhost::sharedLibrary(), rate, testhost::kLargestBlock);
        const testhost::Stereo expected = testhost::render(vst2, signal, 512);
        for (const std::uint32_t block : {1u, 37u, 4096u}) {
            for (const bool inPlace : {false, true}) {
                const std::string what = "rate " + std::to_string(rate) + ", runs of " +
                                         std::to_string(block) + (inPlace ? ", in place" : "");
                Lv2Plugin lv2(rate);
                std::vector<float> left;
                std::vector<float> right;
                if (block == 37u) {
                    float none = 0.0f;
                    lv2.run(&none, &none, &none, &none, 0);
                }
                lv2.process(signal.left, signal.right, left, right, block, inPlace);
                expectSameAudio(expected.left, left, what + ", left");
                expectSameAudio(expected.right, right, what + ", right");
            }
        }
    }
}

// Controls change between runs as hosts change them; the VST 2 plug-in gets
// the matching setParameter calls at the same frames.
TEST(Lv2Plugin, ControlValuesAsHostsSendThem) {
    struct Step {
        const char* what;
        const char* symbol;
        float sent;
        // The value the plug-in must act on; NaN for nothing to do.
        float actedOn;
        bool unconnected;
    };
    const lv2::ControlPort& shape = lv2test::controlPort("clipShape");
    const Step steps[] = {
        {"a new drive", "masterDrive", 24.0f, 24.0f, false},
        {"another bank", "filterBank", 5.0f, 5.0f, false},
        {"the same bank again: no reset", "filterBank", 5.0f, kNaN, false},
        {"the same drive again", "masterDrive", 24.0f, kNaN, false},
        {"NaN keeps the drive", "masterDrive", kNaN, kNaN, false},
        {"huge release: its maximum", "release", 1e30f, 20000.0f, false},
        {"-inf crossover: its minimum", "crossoverFreq0", -kInfinity, 20.0f, false},
        {"a choice between two", "compressorMode", 0.7f, 1.0f, false},
        {"listening to one band", "listenTo", 3.0f, 3.0f, false},
        {"clipping on", "clipOnOff", 1.0f, 1.0f, false},
        {"a softer clip", "clipShape", 80.0f, 80.0f, false},
        {"clip shape unconnected: its default", "clipShape", kInfinity, shape.defaultValue, true},
        {"all bands again", "listenTo", -3.0f, 0.0f, false},
    };
    const std::size_t run = 700;
    const std::size_t frames = run * (std::size(steps) + 1);
    const testhost::Stereo signal = testhost::burstSignal(frames);
    std::vector<float> expectedLeft(frames);
    std::vector<float> expectedRight(frames);
    std::vector<float> left(frames);
    std::vector<float> right(frames);
    testhost::Plugin vst2;
    Lv2Plugin lv2(44100.0);
    for (std::size_t i = 0; i <= std::size(steps); ++i) {
        if (i > 0) {
            const Step& step = steps[i - 1];
            if (step.unconnected) {
                lv2.disconnect(step.symbol);
            } else {
                lv2.set(step.symbol, step.sent);
            }
            if (!std::isnan(step.actedOn)) {
                lv2test::setAsPort(vst2, lv2test::controlPort(step.symbol), step.actedOn);
            }
        }
        const std::size_t start = i * run;
        vst2.processReplacing(signal.left.data() + start, signal.right.data() + start,
                              expectedLeft.data() + start, expectedRight.data() + start,
                              static_cast<std::int32_t>(run));
        lv2.run(signal.left.data() + start, signal.right.data() + start, left.data() + start,
                right.data() + start, static_cast<std::uint32_t>(run));
        const std::string what = i > 0 ? steps[i - 1].what : "defaults";
        expectSameAudio(&expectedLeft[start], &left[start], run, what + ", left");
        expectSameAudio(&expectedRight[start], &right[start], run, what + ", right");
    }
}

// Activating again forgets the signal: the output is a new instance's.
TEST(Lv2Plugin, ActivateAgainStartsAfresh) {
    const testhost::Stereo signal = testhost::burstSignal(6000);
    Lv2Plugin fresh(48000.0);
    std::vector<float> expectedLeft;
    std::vector<float> expectedRight;
    fresh.process(signal.left, signal.right, expectedLeft, expectedRight, 512);

    Lv2Plugin used(48000.0);
    std::vector<float> left;
    std::vector<float> right;
    used.process(signal.right, signal.left, left, right, 333);
    used.activate();
    used.process(signal.left, signal.right, left, right, 512);
    expectSameAudio(expectedLeft, left, "left");
    expectSameAudio(expectedRight, right, "right");
}

// The enabled port is the host's bypass: crossfaded, the compressor kept warm.
TEST(Lv2Plugin, EnabledPortBypassesSmoothlyKeepsTheCompressorWarm) {
    const std::size_t frames = 8192;
    const testhost::Stereo signal = testhost::bypassTestTone(frames);
    const float drive = lv2test::controlPort("masterDrive").maximum;
    Lv2Plugin never(testhost::kSampleRate);
    never.set("masterDrive", drive);
    testhost::Stereo compressed(frames);
    never.process(signal.left, signal.right, compressed.left, compressed.right, 512);
    const std::size_t on = testhost::widestGap(signal, compressed, 2000, 2500);
    const std::size_t off = testhost::widestGap(signal, compressed, 5000, 5500);

    Lv2Plugin lv2(testhost::kSampleRate);
    lv2.set("masterDrive", drive);
    testhost::Stereo out(frames);
    std::size_t from = 0;
    for (const auto& [to, enabled] :
         {std::pair<std::size_t, float>{on, 0.0f}, {off, 1.0f}, {frames, 1.0f}}) {
        lv2.run(signal.left.data() + from, signal.right.data() + from, out.left.data() + from,
                out.right.data() + from, static_cast<std::uint32_t>(to - from));
        lv2.set("enabled", enabled);
        from = to;
    }
    EXPECT_EQ(testhost::bypassFault(out, signal, compressed, on, off), "");
}

// Each meter reads 0 dB while its band is not compressing and falls below 0
// while a loud burst drives it, on one channel or both; each run reports its
// own deepest reduction.
TEST(Lv2Plugin, MetersReadZeroOnSilenceAndFallOnABurst) {
    for (const float law : {0.0f, 1.0f}) {
        SCOPED_TRACE(law);
        Lv2Plugin lv2(44100.0);
        lv2.set("masterDrive", 24.0f);
        lv2.set("compressorMode", law);
        const std::size_t frames = 4096;
        const std::vector<float> silence(frames, 0.0f);
        std::vector<float> left;
        std::vector<float> right;
        lv2.process(silence, silence, left, right, static_cast<std::uint32_t>(frames));
        for (std::int32_t band = 0; band < 4; ++band) EXPECT_EQ(lv2.meter(band), 0.0f) << band;

        const std::vector<float> burst = testhost::noise(3, 1.0, frames);
        lv2.process(burst, burst, left, right, static_cast<std::uint32_t>(frames));
        float deepest[4];
        for (std::int32_t band = 0; band < 4; ++band) {
            deepest[band] = lv2.meter(band);
            EXPECT_LT(deepest[band], -6.0f) << band;
        }
        // Each meter shows the more compressed channel: with the channels fully
        // apart, a burst on the left alone reads as deep as on both, while the
        // silent right channel's gain stays at rest.
        Lv2Plugin apart(44100.0);
        apart.set("masterDrive", 24.0f);
        apart.set("compressorMode", law);
        apart.set("stereoSeparation", lv2test::controlPort("stereoSeparation").maximum);
        apart.process(silence, silence, left, right, static_cast<std::uint32_t>(frames));
        apart.process(burst, silence, left, right, static_cast<std::uint32_t>(frames));
        for (std::int32_t band = 0; band < 4; ++band) {
            EXPECT_NEAR(apart.meter(band), deepest[band], 0.01f) << band;
        }
        // Quieter runs after the burst read less reduction, and silence at
        // length reads 0 again.
        const std::vector<float> quiet = testhost::noise(5, 0.01, frames);
        lv2.process(quiet, quiet, left, right, static_cast<std::uint32_t>(frames));
        for (std::int32_t band = 0; band < 4; ++band) {
            EXPECT_GT(lv2.meter(band), deepest[band]) << band;
            EXPECT_LE(lv2.meter(band), 0.0f) << band;
        }
        for (int n = 0; n < 40; ++n) {
            lv2.process(silence, silence, left, right, static_cast<std::uint32_t>(frames));
        }
        for (std::int32_t band = 0; band < 4; ++band) EXPECT_EQ(lv2.meter(band), 0.0f) << band;
    }
    // Each meter is its own band's: driven alone, a band moves its meter and no other.
    for (std::int32_t band = 0; band < 4; ++band) {
        SCOPED_TRACE(band);
        Lv2Plugin alone(testhost::kSampleRate);
        for (const auto& [index, position] : testhost::bandAloneSetting(band)) {
            const lv2::ControlPort& port = lv2test::controlPorts()[static_cast<std::size_t>(index)];
            alone.set(port.control.symbol(),
                      static_cast<float>(port.control.shownAt(static_cast<double>(position))));
        }
        const testhost::Stereo noise = testhost::bandTestNoise(16384);
        std::vector<float> left;
        std::vector<float> right;
        alone.process(noise.left, noise.right, left, right, 512);
        std::array<double, 4> readings{};
        for (std::int32_t meter = 0; meter < 4; ++meter) {
            readings[static_cast<std::size_t>(meter)] = static_cast<double>(alone.meter(meter));
        }
        EXPECT_TRUE(testhost::onlyBandMoves(readings, band))
            << readings[0] << " " << readings[1] << " " << readings[2] << " " << readings[3];
    }
}

}  // namespace
