// The bundle as Ardour meets it: scanned, opened, run and closed in Ardour's
// order (under Wine for the Windows bundles, where no other VST 3 host runs),
// its parameters those of the VST 2 plug-in, and calls from the host's main
// and process threads overlapping.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "PluginHarness.h"
#include "SettingTable.h"
#include "Vst3TestHost.h"

#if !defined(_WIN32)
#include <thread>
#endif

namespace {

using namespace vst3;
using vst3test::Instance;
using vst3host::narrow;

// The class ID of the VST 2 twin's replacement, as each platform stores it.
#if defined(_WIN32)
constexpr unsigned char kClassId[16] = {0x4B, 0x54, 0x53, 0x56, 0x77, 0x7A, 0x63, 0x34,
                                        0x6F, 0x6D, 0x70, 0x72, 0x65, 0x73, 0x73, 0x6F};
#else
constexpr unsigned char kClassId[16] = {0x56, 0x53, 0x54, 0x4B, 0x7A, 0x77, 0x34, 0x63,
                                        0x6F, 0x6D, 0x70, 0x72, 0x65, 0x73, 0x73, 0x6F};
#endif

TEST(Vst3Host, ScannedAsArdourScans) {
    const vst3test::ScanReport report = vst3test::scan(vst3test::sharedModule());
    EXPECT_STREQ(report.factory.vendor, "Tessel @ Vantrelix");
    EXPECT_EQ(report.classCount, 1);
    EXPECT_EQ(std::memcmp(report.info.cid.bytes, kClassId, sizeof kClassId), 0);
    EXPECT_STREQ(report.info.category, "Audio Module Class");
    EXPECT_STREQ(report.info.name, "Compressor");
    EXPECT_STREQ(report.info.subCategories, "Fx|Dynamics");
    EXPECT_STREQ(report.info.vendor, "Tessel @ Vantrelix");
    EXPECT_STREQ(report.info.version, PROJECT_VERSION);
    EXPECT_TRUE(report.canProcess32);
    EXPECT_FALSE(report.canProcess64);
    EXPECT_EQ(report.audioInputs, std::vector<int32>{2});
    EXPECT_EQ(report.audioOutputs, std::vector<int32>{2});
    EXPECT_EQ(report.eventInputs, 0);
    EXPECT_EQ(report.eventOutputs, 0);
    // One count for the object: the processor reference outlives the component.
    EXPECT_GT(report.componentRelease, 0u);
    EXPECT_EQ(report.processorRelease, 0u);
}

TEST(Vst3Host, OpenedRunAndClosedInArdourOrder) {
    Instance instance;
    // Ardour flushes parameters with empty calls.
    EXPECT_EQ(instance.process(nullptr, nullptr, 0), kResultOk);
    // Stereo only: another arrangement is refused and stereo kept.
    SpeakerArrangement mono = 0x1;
    EXPECT_NE(instance.processor()->setBusArrangements(&mono, 1, &mono, 1), kResultOk);
    for (BusDirection direction : {kInput, kOutput}) {
        SpeakerArrangement arrangement = 0;
        EXPECT_EQ(instance.processor()->getBusArrangement(direction, 0, arrangement), kResultOk);
        EXPECT_EQ(arrangement, kStereo);
    }
    EXPECT_EQ(instance.processor()->getLatencySamples(), 0u);
    testhost::Stereo audio = testhost::burstSignal(4096);
    EXPECT_EQ(instance.process(audio.left.data(), audio.right.data(), 4096), kResultOk);
    EXPECT_TRUE(testhost::allFinite(audio.left.data(), audio.frames()));
    // Terminated twice, released component first: the last release frees it.
    EXPECT_EQ(instance.close(), 0u);
}

// The VST 2 display texts a parameter shows over its positions, in order.
std::vector<std::string> distinctTexts(testhost::Plugin& vst2, int32 index) {
    const float before = vst2.parameter(index);
    std::vector<std::string> texts;
    for (int step = 0; step <= 1000; ++step) {
        vst2.setParameter(index, static_cast<float>(step) / 1000.0f);
        const std::string text = vst2.parameterDisplay(index);
        if (texts.empty() || texts.back() != text) texts.push_back(text);
    }
    vst2.setParameter(index, before);
    return texts;
}

TEST(Vst3Host, ParametersAreTheVst2OnesPlusBypassAndMeters) {
    Instance instance;
    IEditController* controller = instance.controller();
    testhost::Plugin vst2;
    ASSERT_EQ(instance.parameters().size(), std::size_t{param::count + 6});
    // A generic view shows a default as a user types it (100 ms, not 100.000008).
    const std::pair<param::Index, double> typedDefaults[] = {
        {param::masterDrive, 0.0},      {param::release, 100.0},
        {param::crossoverFreq0, 200.0}, {param::crossoverFreq1, 700.0},
        {param::crossoverFreq2, 2000.0}};
    for (const auto& [id, typed] : typedDefaults) {
        const ParameterInfo& info = instance.parameters()[static_cast<std::size_t>(id)];
        EXPECT_EQ(controller->normalizedParamToPlain(info.id, info.defaultNormalizedValue), typed);
    }
    for (int32 index = 0; index < param::count; ++index) {
        const ParameterInfo& info = instance.parameters()[static_cast<std::size_t>(index)];
        SCOPED_TRACE(vst2.parameterName(index));
        EXPECT_EQ(info.id, static_cast<ParamID>(index));
        EXPECT_EQ(narrow(info.title), vst2.parameterName(index));
        EXPECT_EQ(narrow(info.units), vst2.parameterLabel(index));
        EXPECT_EQ(info.flags & (kCanAutomate | kIsReadOnly), kCanAutomate);
        EXPECT_EQ(static_cast<float>(info.defaultNormalizedValue), vst2.parameter(index));
        EXPECT_EQ(controller->getParamNormalized(info.id), info.defaultNormalizedValue);
        EXPECT_EQ(
            controller->plainParamToNormalized(
                info.id, controller->normalizedParamToPlain(info.id, info.defaultNormalizedValue)),
            info.defaultNormalizedValue);

        // A choice or switch lists its texts; a range has many.
        const std::vector<std::string> texts = distinctTexts(vst2, index);
        if (texts.size() <= 16) {
            EXPECT_EQ(info.stepCount + 1, static_cast<int32>(texts.size()));
            EXPECT_EQ(controller->normalizedParamToPlain(info.id, 1.0), info.stepCount);
            for (int32 choice = 0; choice <= info.stepCount; ++choice) {
                const double normalized = controller->plainParamToNormalized(info.id, choice);
                String128 text{};
                controller->getParamStringByValue(info.id, normalized, text);
                EXPECT_EQ(narrow(text), texts[static_cast<std::size_t>(choice)]);
            }
        } else {
            EXPECT_EQ(info.stepCount, 0);
        }

        // Texts are the VST 2 texts, and what a user types back, with or
        // without the unit, shows again: the same choice, or a number equal
        // to the last shown digit (the display rounds).
        for (const testhost::SettingRow& row : testhost::settingTable()) {
            const auto found = row.setting.find(index);
            if (found == row.setting.end()) continue;
            vst2.setParameter(index, found->second);
            const std::string shown = vst2.parameterDisplay(index);
            // Ardour keeps plain values and sends them back through the
            // plug-in's mapping: the round trip must land on the same position.
            const double plain = controller->normalizedParamToPlain(info.id, found->second);
            EXPECT_EQ(static_cast<float>(controller->plainParamToNormalized(info.id, plain)),
                      vst2.parameter(index))
                << "plain " << plain;
            String128 text{};
            ASSERT_EQ(controller->getParamStringByValue(info.id, found->second, text), kResultOk);
            EXPECT_EQ(narrow(text), shown);
            for (const std::string& typed : {shown, shown + " " + vst2.parameterLabel(index)}) {
                std::u16string entry = vst3host::widen(typed);
                double normalized = -1.0;
                ASSERT_EQ(controller->getParamValueByString(info.id, entry.data(), normalized),
                          kResultOk)
                    << typed;
                controller->getParamStringByValue(info.id, normalized, text);
                if (info.stepCount > 0) {
                    EXPECT_EQ(narrow(text), shown) << typed;
                } else {
                    const double number = std::strtod(shown.c_str(), nullptr);
                    EXPECT_NEAR(std::strtod(narrow(text).c_str(), nullptr), number,
                                1e-5 * std::max(1.0, std::abs(number)))
                        << typed;
                }
            }
        }
    }

    const std::vector<ParamID> bypass = instance.parametersFlagged(kIsBypass);
    ASSERT_EQ(bypass.size(), 1u);
    const std::vector<ParamID> meters = instance.parametersFlagged(kIsReadOnly);
    ASSERT_EQ(meters.size(), 4u);
    for (std::size_t band = 0; band < meters.size(); ++band) {
        const ParameterInfo& info = instance.parameters()[param::count + 1 + band];
        EXPECT_EQ(info.id, meters[band]);
        EXPECT_EQ(narrow(info.title), "Band " + std::to_string(band) + " gain reduction");
        EXPECT_EQ(narrow(info.units), "dB");
        EXPECT_EQ(info.flags & kCanAutomate, 0);
    }
    const ParameterInfo& bypassInfo = instance.parameters()[param::count];
    EXPECT_EQ(bypassInfo.id, bypass[0]);
    EXPECT_EQ(bypassInfo.stepCount, 1);
    EXPECT_EQ(bypassInfo.defaultNormalizedValue, 0.0);
    // Last, the factory presets' program change: listed, never automated.
    const ParameterInfo& programInfo = instance.parameters().back();
    EXPECT_EQ(instance.parametersFlagged(kIsProgramChange), std::vector<ParamID>{programInfo.id});
    EXPECT_EQ(programInfo.flags, kIsProgramChange | kIsList);
    EXPECT_EQ(programInfo.stepCount + 1, static_cast<int32>(testhost::presetTable().size()));
}

#if !defined(_WIN32)
// Ardour's main thread edits, saves and loads while its process thread runs
// blocks, switches to an export and back, and then stops and starts
// processing itself. Meant for the thread sanitizer.
TEST(Vst3Host, MainAndProcessThreadsOverlap) {
    Instance instance;
    const std::vector<std::uint8_t> saved = instance.state();
    std::atomic<bool> finished{false};
    std::atomic<bool> allFinite{true};
    std::thread processing([&] {
        testhost::Stereo audio = testhost::burstSignal(512);
        for (int block = 0; block < 400; ++block) {
            instance.setProcessMode(block >= 200 && block < 300 ? kOffline : kRealtime);
            instance.queue(param::masterDrive, (block % 10) / 10.0, block % 512);
            if (instance.process(audio.left.data(), audio.right.data(), 512) != kResultOk ||
                !testhost::allFinite(audio.left.data(), audio.frames())) {
                allFinite = false;
            }
            if (block == 300) {
                instance.processor()->setProcessing(0);
                instance.component()->setActive(0);
                instance.component()->setActive(1);
                instance.processor()->setProcessing(1);
            }
        }
        finished = true;
    });
    IEditController* controller = instance.controller();
    while (!finished) {
        controller->setParamNormalized(param::filterBank, 0.25);
        String128 text{};
        controller->getParamStringByValue(param::masterDrive, controller->getParamNormalized(1),
                                          text);
        EXPECT_EQ(instance.restore(saved), kResultOk);
        EXPECT_EQ(instance.state().size(), saved.size());
    }
    processing.join();
    EXPECT_TRUE(allFinite);
}
#endif

}  // namespace
