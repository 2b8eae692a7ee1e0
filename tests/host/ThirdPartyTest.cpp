// The host against Debian's third-party plug-ins (lsp-plugins-vst, zam-plugins)
// in every format they come in.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "DemoSignal.h"
#include "FpuState.h"
#include "HostError.h"
#include "HostTestSupport.h"
#include "MeterLog.h"
#include "ParameterSetter.h"
#include "Plugin.h"
#include "Renderer.h"

namespace host::test {
namespace {

// Holds a library loaded until the process ends. LSP's shared core library
// keeps global allocations that it never frees; the leak checker would report
// them once the last plug-in using the core has been unloaded.
void holdLoaded(const std::string& path) {
    static_cast<void>(dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL));
}

void holdLspCoreLoaded() {
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(kLspCompressor).parent_path())) {
        if (entry.path().filename().string().rfind("lsp-plugins-vst2-", 0) == 0)
            holdLoaded(entry.path().string());
    }
}

bool allFinite(const AudioBuffer& audio) {
    for (const auto& channel : audio.channels) {
        for (const float x : channel) {
            if (!std::isfinite(x)) return false;
        }
    }
    return true;
}

TEST(ThirdParty, LspCompressorLoadsThroughVstPluginMainAndRenders) {
    if (!std::filesystem::exists(kLspCompressor))
        GTEST_SKIP() << "lsp-plugins-vst is not installed";
    holdLspCoreLoaded();
    PluginInstance plugin(kLspCompressor, 48000.0, 512);
    EXPECT_EQ(plugin.numInputs(), 2);
    EXPECT_EQ(plugin.numOutputs(), 2);
    EXPECT_GT(plugin.numParams(), 100);
    EXPECT_FALSE(plugin.effectName().empty());

    ParameterSetter setter(plugin);
    EXPECT_EQ(setter.apply(parseAssignment("cr_0=4", false)).display, "4.00");
    EXPECT_EQ(setter.apply(parseAssignment("al_0=-30", false)).display, "-30.00");
    EXPECT_EQ(setter.apply(parseAssignment("ife_l=off", false)).display, "off");

    const AudioBuffer input = makeDemoSignal(48000.0, 2.0);
    const AudioBuffer output = render(plugin, input, {512, false});
    ASSERT_EQ(output.frames(), input.frames());
    EXPECT_TRUE(allFinite(output));
    EXPECT_GT(measureLevel(output).rmsDb, -60.0) << "the compressor passed no sound";
}

TEST(ThirdParty, ZamCompressorLoadsThroughMainWithoutChangingOurFpuState) {
    if (!std::filesystem::exists(kZamCompressor)) GTEST_SKIP() << "zam-plugins is not installed";
    const FpuState before = FpuState::current();
    PluginInstance plugin(kZamCompressor, 44100.0, 256);
    EXPECT_EQ(FpuState::current(), before);
    EXPECT_EQ(plugin.effectName(), "ZaMultiCompX2");

    ParameterSetter setter(plugin);
    // Two of its parameters share the name "Crossover freq".
    EXPECT_THROW(setter.findParameter("Crossover freq"), HostError);
    EXPECT_EQ(setter.apply(parseAssignment("Threshold 1=-30", false)).display, "-30.000000");

    const AudioBuffer output = render(plugin, makeDemoSignal(44100.0, 1.0), {256, false});
    EXPECT_TRUE(allFinite(output));
}

// ZaMultiCompX2 as VST 3 and as LV2: its parameters and meters described,
// a setting by name and a preset by name taken, and, being one code in two
// formats, the same sound and the same gain reductions from both.
TEST(ThirdParty, ZamCompressorInEveryFormatReportsAndRendersAlike) {
    const std::vector<std::pair<std::string, std::string>> faces = {
        {"/usr/lib/vst3/ZaMultiCompX2.vst3", "Threshold 1"},
        {"/usr/lib/lv2/ZaMultiCompX2.lv2", "thr1"}};
    const AudioBuffer input = makeDemoSignal(48000.0, 2.0);
    std::vector<AudioBuffer> outputs;
    std::vector<std::vector<MeterSummary>> reductions;
    for (const auto& [location, threshold] : faces) {
        SCOPED_TRACE(location);
        if (!std::filesystem::exists(location)) GTEST_SKIP() << "zam-plugins is not installed";
        const auto plugin = loadPlugin(location, 48000.0, 512);
        EXPECT_EQ(plugin->name(), "ZaMultiCompX2");
        EXPECT_GE(plugin->parameters().size(), 27u);
        const std::vector<std::string> presets = plugin->presets();
        ASSERT_NE(std::find(presets.begin(), presets.end(), "Presence"), presets.end());
        plugin->loadPreset("Presence");
        const std::size_t index = plugin->findParameter(threshold);
        EXPECT_EQ(plugin->parameters()[index].range, "-60 to 0 dB");
        plugin->setValue(index, plugin->valueFor(index, "0"));
        EXPECT_THROW(plugin->valueFor(index, "-61"), HostError);
        std::vector<Control> gainReductions;
        for (const Control& meter : plugin->meters()) {
            if (meter.name.rfind("Gain Reduction", 0) == 0) gainReductions.push_back(meter);
        }
        ASSERT_EQ(gainReductions.size(), 3u);
        MeterLog meters(plugin->meters(), 48000.0);
        outputs.push_back(render(*plugin, 512, input, {512, false}, nullptr, &meters));
        EXPECT_TRUE(allFinite(outputs.back()));
        reductions.push_back(meters.summarise());
    }
    EXPECT_TRUE(outputs[0].channels == outputs[1].channels);
    for (std::size_t m = 0; m < 3; ++m) {
        const MeterSummary& vst3 = reductions[0][reductions[0].size() - 3 + m];
        const MeterSummary& lv2 = reductions[1][reductions[1].size() - 3 + m];
        EXPECT_NEAR(vst3.mean, lv2.mean, 1e-4) << "band " << m;
        EXPECT_NEAR(vst3.deepest, lv2.deepest, 1e-4) << "band " << m;
    }
    EXPECT_GT(reductions[1].back().deepest, 0.0) << "the preset compresses";
}

}  // namespace
}  // namespace host::test
