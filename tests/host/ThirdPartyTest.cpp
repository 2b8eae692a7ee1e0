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

const std::vector<std::string>& zamCompressorFaces() {
    static const std::vector<std::string> faces = {"/usr/lib/vst3/ZaMultiCompX2.vst3",
                                                   "/usr/lib/lv2/ZaMultiCompX2.lv2",
                                                   "/usr/lib/clap/ZaMultiCompX2.clap"};
    return faces;
}

struct FaceRender {
    AudioBuffer audio;
    std::vector<MeterSummary> reductions;  // of the three "Gain Reduction" meters
};

// The demo through one face, after an optional preset and the settings.
FaceRender renderFace(const std::string& location, const std::string& preset,
                      const std::vector<std::pair<std::string, std::string>>& settings) {
    const auto plugin = loadPlugin(location, 48000.0, 512);
    if (!preset.empty()) plugin->loadPreset(preset);
    for (const auto& [name, value] : settings) {
        const std::size_t index = plugin->findParameter(name);
        plugin->setValue(index, plugin->valueFor(index, value));
    }
    MeterLog meters(plugin->meters(), 48000.0);
    FaceRender result;
    result.audio =
        render(*plugin, 512, makeDemoSignal(48000.0, 2.0), {512, false}, nullptr, &meters);
    const std::vector<MeterSummary> all = meters.summarise();
    for (std::size_t m = 0; m < all.size(); ++m) {
        if (plugin->meters()[m].name.rfind("Gain Reduction", 0) == 0) {
            result.reductions.push_back(all[m]);
        }
    }
    return result;
}

// ZaMultiCompX2 as VST 3, LV2 and CLAP: its parameters and meters described
// and refused beyond their range, settings by name taken, and, being one code
// in three formats, the same sound and the same gain reductions from each;
// its presets, where the format has them (VST 3 programs, LV2 presets), alike.
TEST(ThirdParty, ZamCompressorInEveryFormatReportsAndRendersAlike) {
    for (const std::string& location : zamCompressorFaces()) {
        if (!std::filesystem::exists(location)) GTEST_SKIP() << location << " is not installed";
    }
    const std::vector<std::pair<std::string, std::string>> settings = {{"Threshold 2", "-30"},
                                                                       {"ZamComp 2 ON", "1"}};
    std::vector<FaceRender> renders;
    for (const std::string& location : zamCompressorFaces()) {
        SCOPED_TRACE(location);
        const auto plugin = loadPlugin(location, 48000.0, 512);
        EXPECT_EQ(plugin->name(), "ZaMultiCompX2");
        EXPECT_GE(plugin->parameters().size(), 27u);
        const std::size_t threshold = plugin->findParameter("Threshold 2");
        EXPECT_EQ(plugin->parameters()[threshold].minimum, -60.0);
        EXPECT_THROW(plugin->valueFor(threshold, "-61"), HostError);
        renders.push_back(renderFace(location, "", settings));
        EXPECT_TRUE(allFinite(renders.back().audio));
        ASSERT_EQ(renders.back().reductions.size(), 3u);
    }
    EXPECT_GT(renders[0].reductions[1].mean, 3.0) << "band 2 compresses";
    for (std::size_t face = 1; face < renders.size(); ++face) {
        EXPECT_TRUE(renders[face].audio.channels == renders[0].audio.channels)
            << zamCompressorFaces()[face];
        for (std::size_t band = 0; band < 3; ++band) {
            EXPECT_NEAR(renders[face].reductions[band].mean, renders[0].reductions[band].mean, 1e-4)
                << zamCompressorFaces()[face] << ", band " << band;
        }
    }
    const FaceRender vst3 = renderFace(zamCompressorFaces()[0], "Presence", {});
    const FaceRender lv2 = renderFace(zamCompressorFaces()[1], "Presence", {});
    EXPECT_TRUE(vst3.audio.channels == lv2.audio.channels);
    EXPECT_GT(lv2.reductions[2].deepest, 0.0) << "the preset compresses";
    EXPECT_FALSE(vst3.audio.channels == renders[0].audio.channels);
}

}  // namespace
}  // namespace host::test
