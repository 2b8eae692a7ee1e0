#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "FpuState.h"
#include "HostError.h"
#include "HostTestSupport.h"
#include "PluginInstance.h"
#include "Renderer.h"

namespace host::test {
namespace {

// The test effect's own record of what happened, read through a second handle
// to the same (already loaded) library.
class TestEffectProbe {
  public:
    TestEffectProbe() : handle_(dlopen(kTestEffect.c_str(), RTLD_LAZY | RTLD_LOCAL)) {}
    ~TestEffectProbe() { dlclose(handle_); }
    std::string callLog() const { return call<const char* (*)()>("testEffectCallLog")(); }
    long versionAnswer() const { return call<long (*)()>("testEffectVersionAnswer")(); }
    long sampleRateDuringEntry() const {
        return call<long (*)()>("testEffectSampleRateDuringEntry")();
    }
    unsigned int csrDuringProcess() const {
        return call<unsigned int (*)()>("testEffectCsrDuringProcess")();
    }

  private:
    template <typename F>
    F call(const char* name) const {
        F function = nullptr;
        void* symbol = dlsym(handle_, name);
        static_assert(sizeof function == sizeof symbol);
        std::memcpy(&function, &symbol, sizeof function);
        return function;
    }
    void* handle_;
};

TEST(PluginLoading, RefusesBrokenLibrariesWithAClearReason) {
    struct Case {
        std::string path;
        std::string reason;
    };
    const Case cases[] = {
        {"/nonexistent/plugin.so", "does not exist"},
        {kHostProgram, "cannot load plug-in"},  // an executable, not a library
        {kNoEntry, "exports neither VSTPluginMain nor main"},
        {kNullEntry, "refused to create an effect"},
        {kWrongMagic, "wrong magic number 0x12345678"},
        {kEmptyEntries, "without a set-parameter entry"},
    };
    for (const Case& c : cases) {
        try {
            PluginInstance plugin(c.path, 48000.0, 512);
            ADD_FAILURE() << c.path << " loaded";
        } catch (const HostError& error) {
            EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos)
                << c.path << ": " << error.what();
        }
    }
}

TEST(PluginLoading, DrivesTheEffectInTheOrderRealHostsUse) {
    TestEffectProbe probe;
    {
        PluginInstance plugin(kTestEffect, 44100.0, 256);
        render(plugin, sineSignal(2, 1000, 44100.0), {256, false});
    }
    EXPECT_EQ(probe.callLog(),
              "entry open rate44100 block256 resume start replacing stop suspend close");
    EXPECT_EQ(probe.versionAnswer(), 2400);
    EXPECT_EQ(probe.sampleRateDuringEntry(), 44100);
}

TEST(PluginLoading, ReadsNamesAndRecordFields) {
    PluginInstance plugin(kTestEffect, 48000.0, 512);
    EXPECT_EQ(plugin.effectName(), "Test Gain");
    EXPECT_EQ(plugin.vendorName(), "Host Tests");
    EXPECT_EQ(plugin.productName(), "Test Gain Product");
    EXPECT_EQ(plugin.uniqueId(), 0x54657374);
    EXPECT_EQ(plugin.numParams(), 3);
    EXPECT_EQ(plugin.initialDelay(), 7);
    EXPECT_EQ(plugin.parameterName(1), "Shape");
    EXPECT_EQ(plugin.parameterLabel(0), "dB");
    EXPECT_EQ(plugin.parameterDisplay(0), "0.00");
}

TEST(PluginLoading, RestoresTheFloatingPointStateAPlugInChanged) {
    TestEffectProbe probe;
    const FpuState before = FpuState::current();
    ASSERT_FALSE(before.flushesDenormals());
    PluginInstance plugin(kTestEffect, 48000.0, 512);
    EXPECT_EQ(FpuState::current(), before);
    FpuState::processDefault().restore();
    render(plugin, sineSignal(2, 64), {64, false});
    // The effect set flush-to-zero on load; it must not process with it.
    EXPECT_EQ(probe.csrDuringProcess() & 0x8040u, 0u);
}

}  // namespace
}  // namespace host::test
