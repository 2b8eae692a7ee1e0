// The CLAP file as a host finds it: one entry, one factory with the
// compressor under its stable ID, stereo ports that may share buffers, no
// latency, no call back into the host; the parameters as the VST 2 plug-in
// names and shows them; the state saved and restored through streams that
// move a few bytes at a time, and refused, changing nothing, when it is not
// ours; and read, saved and loaded while another thread processes.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "ClapTestHost.h"
#include "SettingTable.h"
#include "engine/ControlTable.h"

namespace {

using namespace clap;
using claptest::Instance;
using testhost::Stereo;

const engine::ControlTable& table() {
    return engine::ControlTable::instance();
}

TEST(ClapEntry, OneCompressorWithStereoPortsAndNoLatency) {
    claptest::Module& module = claptest::sharedModule();
    EXPECT_GE(module.entry().clap_version.major, 1u);
    EXPECT_EQ(module.entry().get_factory("clap.preset-discovery-factory/2"), nullptr);
    const clap_plugin_factory& factory = module.factory();
    ASSERT_EQ(factory.get_plugin_count(&factory), 1u);
    EXPECT_EQ(factory.get_plugin_descriptor(&factory, 1), nullptr);
    const clap_plugin_descriptor& descriptor = *factory.get_plugin_descriptor(&factory, 0);
    EXPECT_STREQ(descriptor.id, "com.vantrelix.tessel.compressor");
    EXPECT_STREQ(descriptor.name, "Compressor");
    EXPECT_STREQ(descriptor.vendor, "Tessel @ Vantrelix");
    EXPECT_STREQ(descriptor.version, PROJECT_VERSION);
    std::set<std::string> features;
    for (const char* const* feature = descriptor.features; *feature != nullptr; ++feature) {
        features.insert(*feature);
    }
    EXPECT_EQ(features, (std::set<std::string>{"audio-effect", "compressor", "stereo"}));
    EXPECT_EQ(factory.create_plugin(&factory, &claptest::testHost(), "com.vantrelix.other"),
              nullptr);

    Instance instance;
    const clap_plugin& plugin = instance.plugin();
    const auto* ports =
        static_cast<const clap_plugin_audio_ports*>(plugin.get_extension(&plugin, kExtAudioPorts));
    ASSERT_NE(ports, nullptr);
    clap_audio_port_info info[2] = {};
    for (const bool input : {true, false}) {
        ASSERT_EQ(ports->count(&plugin, input), 1u);
        ASSERT_TRUE(ports->get(&plugin, 0, input, &info[input ? 0 : 1]));
        EXPECT_FALSE(ports->get(&plugin, 1, input, &info[1]));
    }
    for (const clap_audio_port_info& port : info) {
        EXPECT_EQ(port.channel_count, 2u);
        EXPECT_STREQ(port.port_type, kPortStereo);
        EXPECT_EQ(port.flags, kAudioPortIsMain);
    }
    EXPECT_EQ(info[0].in_place_pair, info[1].id);
    EXPECT_EQ(info[1].in_place_pair, info[0].id);
    const auto* latency =
        static_cast<const clap_plugin_latency*>(plugin.get_extension(&plugin, kExtLatency));
    ASSERT_NE(latency, nullptr);
    EXPECT_EQ(latency->get(&plugin), 0u);
    Stereo signal = testhost::burstSignal(1024);
    instance.render(signal, 256);
    EXPECT_EQ(claptest::hostCalls(), 0);
}

// The twenty VST 2 parameters at their indices, then the bypass and the
// meters; names and defaults are the VST 2 plug-in's.
TEST(ClapParameters, TheVst2ParametersThenBypassAndMeters) {
    Instance instance;
    const clap_plugin& plugin = instance.plugin();
    const clap_plugin_params& params = instance.params();
    testhost::Plugin vst2;
    ASSERT_EQ(params.count(&plugin), static_cast<std::uint32_t>(vst2.numParams()) + 5);
    for (std::uint32_t index = 0; index < params.count(&plugin); ++index) {
        clap_param_info info{};
        ASSERT_TRUE(params.get_info(&plugin, index, &info));
        const engine::Control& control = *table().find(info.id);
        SCOPED_TRACE(control.symbol());
        const bool stepped = (info.flags & kParamIsStepped) != 0;
        const bool readOnly = (info.flags & kParamIsReadonly) != 0;
        EXPECT_EQ(stepped, control.stepCount() > 0);
        EXPECT_EQ(readOnly, (info.flags & kParamIsAutomatable) == 0);
        EXPECT_LE(info.min_value, info.default_value);
        EXPECT_LE(info.default_value, info.max_value);
        EXPECT_EQ(instance.value(info.id), info.default_value);
        if (index < static_cast<std::uint32_t>(vst2.numParams())) {
            const auto vst2Index = static_cast<std::int32_t>(index);
            EXPECT_EQ(info.id, index);
            EXPECT_FALSE(readOnly);
            EXPECT_EQ(info.name, vst2.parameterName(vst2Index));
            EXPECT_EQ(static_cast<float>(control.positionFor(info.default_value)),
                      vst2.parameter(vst2Index));
        } else if (index == static_cast<std::uint32_t>(vst2.numParams())) {
            EXPECT_EQ(info.id, engine::kBypassId);
            EXPECT_EQ(info.flags & kParamIsBypass, kParamIsBypass);
            EXPECT_TRUE(stepped);
        } else {
            EXPECT_EQ(info.id,
                      engine::meterId(index - static_cast<std::uint32_t>(vst2.numParams()) - 1));
            EXPECT_TRUE(readOnly);
        }
    }
    clap_param_info info{};
    EXPECT_FALSE(params.get_info(&plugin, params.count(&plugin), &info));
}

// A value's text is what the VST 2 plug-in shows at its position, with its
// unit; that text typed back gives a value showing the same.
TEST(ClapParameters, TextIsTheVst2DisplayAndReadsBack) {
    Instance instance;
    const clap_plugin& plugin = instance.plugin();
    const clap_plugin_params& params = instance.params();
    testhost::Plugin vst2;
    std::mt19937 random(7);
    std::uniform_real_distribution<float> anywhere(0.0f, 1.0f);
    for (std::int32_t index = 0; index < vst2.numParams(); ++index) {
        const engine::Control& control = table().parameter(static_cast<std::size_t>(index));
        for (const float position : {0.0f, 1.0f, anywhere(random), anywhere(random)}) {
            SCOPED_TRACE(control.symbol() + " at " + std::to_string(position));
            vst2.setParameter(index, position);
            const std::string label = vst2.parameterLabel(index);
            const std::string expected =
                vst2.parameterDisplay(index) + (label.empty() ? "" : " " + label);
            char text[256];
            const auto id = static_cast<clap_id>(index);
            ASSERT_TRUE(
                params.value_to_text(&plugin, id, control.shownAt(position), text, sizeof text));
            EXPECT_EQ(text, expected);
            double typed = 0.0;
            ASSERT_TRUE(params.text_to_value(&plugin, id, text, &typed));
            ASSERT_TRUE(params.value_to_text(&plugin, id, typed, text, sizeof text));
            EXPECT_EQ(text, expected);
        }
    }
    char text[4];
    ASSERT_TRUE(params.value_to_text(&plugin, param::masterDrive, 12.0, text, sizeof text));
    EXPECT_EQ(std::strlen(text), 3u);
    double value = 0.0;
    EXPECT_FALSE(params.text_to_value(&plugin, param::masterDrive, "loud", &value));
    EXPECT_FALSE(params.text_to_value(&plugin, 20, "1", &value));
    EXPECT_FALSE(params.value_to_text(&plugin, 20, 1.0, text, sizeof text));
    EXPECT_FALSE(
        params.value_to_text(&plugin, param::masterDrive, std::nan(""), text, sizeof text));
}

// Streams moving a few bytes per call; the restored instance saves the same
// bytes and sounds the same.
TEST(ClapState, RoundTripThroughShortStreams) {
    const testhost::Setting& setting = testhost::settingTable().back().setting;
    Instance saved;
    for (const auto& [index, position] : setting) {
        saved.queue(static_cast<clap_id>(index),
                    table().parameter(static_cast<std::size_t>(index)).shownAt(position));
    }
    saved.queue(engine::kBypassId, 1.0);
    saved.flush();
    const std::vector<std::uint8_t> bytes = saved.state();
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(saved.state(3), bytes);

    Instance restored;
    ASSERT_NE(restored.state(), bytes);
    ASSERT_TRUE(restored.restore(bytes, 5));
    EXPECT_EQ(restored.state(), bytes);
    EXPECT_EQ(restored.value(engine::kBypassId), 1.0);
    const Stereo signal = testhost::burstSignal(4096);
    EXPECT_EQ(restored.render(signal, 512), saved.render(signal, 512));
}

TEST(ClapState, DataNotOursIsRefusedChangingNothing) {
    Instance instance;
    instance.queue(param::masterDrive, 12.0);
    instance.flush();
    const std::vector<std::uint8_t> before = instance.state();
    ASSERT_GT(before.size(), 12u);
    const std::vector<std::uint8_t> cut(before.begin(), before.end() - 1);
    std::vector<std::uint8_t> tagged = before;
    tagged[0] ^= 0x20;
    std::vector<std::uint8_t> position = before;
    std::memset(position.data() + position.size() - 4, 0xFF, 4);
    std::vector<std::uint8_t> noise(before.size());
    std::mt19937 random(3);
    for (auto& byte : noise) byte = static_cast<std::uint8_t>(random());
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::vector<std::uint8_t>>>{
             {"nothing", {}},
             {"cut short", cut},
             {"another tag", tagged},
             {"not a position", position},
             {"noise", noise}}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(instance.restore(bytes, 7));
        EXPECT_EQ(instance.state(), before);
    }
}

#if !defined(_WIN32)
// A host's main thread reads values and texts, saves and loads while its
// audio thread runs blocks with events. Meant for the thread sanitizer.
TEST(ClapState, MainThreadCallsWhileProcessing) {
    Instance instance;
    const std::vector<std::uint8_t> saved = instance.state();
    std::atomic<bool> finished{false};
    std::atomic<bool> allFinite{true};
    std::thread processing([&] {
        Stereo audio = testhost::burstSignal(512);
        for (std::uint32_t block = 0; block < 400; ++block) {
            instance.queue(param::masterDrive, static_cast<double>(block % 60), block % 512);
            instance.queue(engine::kBypassId, block % 7 == 0 ? 1.0 : 0.0, 100);
            if (instance.process(audio.left.data(), audio.right.data(), 512) != kProcessContinue ||
                !testhost::allFinite(audio.left.data(), audio.frames())) {
                allFinite = false;
            }
        }
        finished = true;
    });
    const clap_plugin& plugin = instance.plugin();
    while (!finished) {
        char text[64];
        EXPECT_TRUE(instance.params().value_to_text(
            &plugin, param::masterDrive, instance.value(param::masterDrive), text, sizeof text));
        instance.value(engine::meterId(2));
        EXPECT_TRUE(instance.restore(saved));
        EXPECT_EQ(instance.state().size(), saved.size());
    }
    processing.join();
    EXPECT_TRUE(allFinite);
}
#endif

}  // namespace
