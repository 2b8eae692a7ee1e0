// The host against Debian's third-party plug-ins (lsp-plugins-vst, zam-plugins).
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "DemoSignal.h"
#include "FpuState.h"
#include "HostError.h"
#include "HostTestSupport.h"
#include "ParameterSetter.h"
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

}  // namespace
}  // namespace host::test
