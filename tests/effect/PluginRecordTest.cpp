// The plug-in as a host first meets it: the record, the names and the
// parameters, reached only through the library's entry and the record.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "PluginHarness.h"

using testhost::Plugin;

namespace {

// A host that answers every request, the version query included, with 0.
vst::IntPtr VST_CALL hostWithoutVersion(vst::AEffect*, std::int32_t, std::int32_t, vst::IntPtr,
                                        void*, float) {
    return 0;
}

}  // namespace

TEST(PluginEntry, RefusesHostWithoutVersion) {
    const vst::PluginEntry entry = testhost::sharedLibrary()->entry();
    EXPECT_EQ(entry(hostWithoutVersion), nullptr);
    EXPECT_EQ(entry(nullptr), nullptr);
}

TEST(PluginEntry, RecordDescribesTheEffect) {
    Plugin plugin;
    const vst::AEffect& fx = *plugin.record();
    EXPECT_EQ(fx.magic, vst::kEffectMagic);
    EXPECT_EQ(fx.numPrograms, 1);
    EXPECT_EQ(fx.numParams, param::count);
    EXPECT_EQ(fx.numInputs, 2);
    EXPECT_EQ(fx.numOutputs, 2);
    EXPECT_EQ(fx.flags, vst::effFlagsCanMono | vst::effFlagsCanReplacing);
    EXPECT_EQ(fx.uniqueID, 0x4B7A7734);
    EXPECT_EQ(fx.initialDelay, 0);
    EXPECT_EQ(fx.version, 1);
    EXPECT_FLOAT_EQ(fx.ioRatio, 1.0f);
    EXPECT_NE(fx.object, nullptr);
    EXPECT_EQ(fx.user, nullptr);
    EXPECT_NE(fx.processReplacing, nullptr);
    EXPECT_NE(fx.process, nullptr);

    EXPECT_EQ(plugin.effectName(), "Compressor");
    EXPECT_EQ(plugin.productName(), "Compressor");
    EXPECT_EQ(plugin.vendorName(), "Tessel @ Vantrelix");
    char buffer[64] = {};
    EXPECT_EQ(plugin.dispatch(vst::effGetEffectName, 0, 0, buffer), 1);
    EXPECT_EQ(plugin.dispatch(vst::effGetPlugCategory), 0);
    EXPECT_EQ(plugin.dispatch(vst::effGetVstVersion), 2300);
    EXPECT_EQ(plugin.dispatch(vst::effCanDo, 0, 0, const_cast<char*>("bypass")), 0);
}

struct DefaultParameter {
    const char* name;
    const char* label;
    const char* display;
    float position;
};

TEST(PluginParameters, FreshEffectShowsDefaults) {
    const DefaultParameter expected[param::count] = {
        {"Listen to", "", "All", 0.0f},
        {"Master Drive", "dB", "0", 0.25f},
        {"Master Out", "dB", "-10.4576", 0.235643f},
        {"Release", "ms", "100", 0.265915f},
        {"Stereo separation", "%", "50", 0.5f},
        {"Compressor mode", "", "A", 0.0f},
        {"Clipping", "", "off", 0.0f},
        {"Clip hard<>soft", "%", "10", 0.1f},
        {"Filter bank", "", "Tessel6A", 0.0f},
        {"Band 0-1 crossover", "Hz", "200", 1.0f / 3.0f},
        {"Band 1-2 crossover", "Hz", "700", 0.514689f},
        {"Band 2-3 crossover", "Hz", "2000", 2.0f / 3.0f},
        {"Band 0 drive adjust", "dB", "0", 0.5f},
        {"Band 1 drive adjust", "dB", "0", 0.5f},
        {"Band 2 drive adjust", "dB", "0", 0.5f},
        {"Band 3 drive adjust", "dB", "0", 0.5f},
        {"Band 0 out adjust", "dB", "0", 0.5f},
        {"Band 1 out adjust", "dB", "0", 0.5f},
        {"Band 2 out adjust", "dB", "0", 0.5f},
        {"Band 3 out adjust", "dB", "0", 0.5f},
    };
    Plugin plugin;
    for (std::int32_t i = 0; i < param::count; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(plugin.parameterName(i), expected[i].name);
        EXPECT_EQ(plugin.parameterLabel(i), expected[i].label);
        EXPECT_EQ(plugin.parameterDisplay(i), expected[i].display);
        EXPECT_NEAR(plugin.parameter(i), expected[i].position, 1e-6);
    }
}

TEST(PluginParameters, TextRequestsWriteExactlyTheirBudget) {
    Plugin plugin;
    char buffer[40];
    std::memset(buffer, '#', sizeof buffer);
    plugin.dispatch(vst::effGetParamName, param::outAdjust3, 0, buffer);
    EXPECT_STREQ(buffer, "Band 3 out adjust");
    EXPECT_EQ(buffer[24], '\0');
    EXPECT_EQ(buffer[25], '#');

    std::memset(buffer, '#', sizeof buffer);
    plugin.dispatch(vst::effGetParamDisplay, param::filterBank, 0, buffer);
    EXPECT_STREQ(buffer, "Tessel6A");
    EXPECT_EQ(buffer[9], '#');

    for (std::int32_t index :
         {std::int32_t{param::count}, -1, std::numeric_limits<std::int32_t>::max()}) {
        for (std::int32_t opcode :
             {vst::effGetParamName, vst::effGetParamLabel, vst::effGetParamDisplay}) {
            std::memset(buffer, '#', sizeof buffer);
            plugin.dispatch(opcode, index, 0, buffer);
            EXPECT_EQ(buffer[0], '\0');
            EXPECT_EQ(buffer[1], '#');
        }
        EXPECT_EQ(plugin.parameter(index), 0.0f);
    }
}

struct SetCase {
    std::int32_t index;
    float position;
    const char* display;
};

TEST(PluginParameters, PositionsSelectTheDocumentedValues) {
    const SetCase cases[] = {
        {param::filterBank, 2.0f / 11.0f, "LP6A up"},
        {param::filterBank, 1.0f, "LP18 dn"},
        {param::filterBank, 0.999f, "LP18 dn"},
        {param::filterBank, 0.0f, "Tessel6A"},
        {param::listenTo, 1.0f, "Band 3"},
        {param::listenTo, 0.3f, "Band 0"},
        {param::compressorMode, 0.49f, "A"},
        {param::compressorMode, 0.5f, "B"},
        {param::clipOnOff, 0.5f, "on"},
        {param::clipOnOff, 0.49999f, "off"},
        {param::masterDrive, 1.0f, "60"},
        {param::masterDrive, 0.0f, "-20"},
        {param::masterOut, 1.0f, "12.0412"},
        {param::release, 1.0f, "20000"},
        {param::release, 0.5f, "1250"},
        {param::release, 0.0f, "0"},
        {param::crossoverFreq0, 0.5f, "632.456"},
        {param::stereoSeparation, 1.0f, "100"},
        {param::clipShape, 0.25f, "25"},
        {param::driveAdjust0, 1.0f, "20"},
        {param::outAdjust3, 0.0f, "-20"},
    };
    Plugin plugin;
    for (const SetCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.index) + " <- " + std::to_string(c.position));
        plugin.setParameter(c.index, c.position);
        EXPECT_EQ(plugin.parameterDisplay(c.index), c.display);
    }
    plugin.setParameter(param::listenTo, 0.3f);
    EXPECT_FLOAT_EQ(plugin.parameter(param::listenTo), 0.25f);
    plugin.setParameter(param::masterOut, 1.0f);
    EXPECT_FLOAT_EQ(plugin.parameter(param::masterOut), 1.0f);
}

TEST(PluginParameters, OutOfRangeWritesAreIgnored) {
    Plugin plugin;
    const float bad[] = {1.5f, -0.1f, std::numeric_limits<float>::quiet_NaN(),
                         std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity()};
    for (float value : bad) {
        plugin.setParameter(param::release, value);
        plugin.setParameter(param::stereoSeparation, value);
        EXPECT_EQ(plugin.parameterDisplay(param::release), "100");
        EXPECT_EQ(plugin.parameterDisplay(param::stereoSeparation), "50");
        EXPECT_NEAR(plugin.parameter(param::stereoSeparation), 0.5f, 1e-7);
    }
    plugin.setParameter(param::count + 5, 0.5f);
    plugin.setParameter(param::count, 0.5f);
    plugin.setParameter(-1, 0.5f);
    for (std::int32_t i = 0; i < param::count; ++i) EXPECT_NE(plugin.parameterDisplay(i), "");
}

// Positions a host may write: an even grid, both ends and their nearest
// neighbours, and the neighbours of the middle, where switches and choices
// change.
std::vector<float> probePositions() {
    std::vector<float> positions;
    for (int i = 0; i <= 200; ++i) positions.push_back(static_cast<float>(i) / 200.0f);
    for (float edge : {0.0f, 0.5f, 1.0f}) {
        positions.push_back(std::nextafter(edge, -1.0f));
        positions.push_back(std::nextafter(edge, 2.0f));
    }
    positions.push_back(1e-7f);
    positions.push_back(1.0f / 3.0f);
    return positions;
}

TEST(PluginParameters, PositionsReadBackAndRewrittenAreStable) {
    Plugin plugin;
    const std::vector<float> positions = probePositions();
    for (std::int32_t index = 0; index < param::count; ++index) {
        for (float position : positions) {
            plugin.setParameter(index, position);
            const float first = plugin.parameter(index);
            const std::string shown = plugin.parameterDisplay(index);
            plugin.setParameter(index, first);
            ASSERT_EQ(plugin.parameter(index), first) << index << " at " << position;
            ASSERT_EQ(plugin.parameterDisplay(index), shown) << index << " at " << position;
        }
    }
}

// A host saves the twenty positions of an instance, at the defaults or
// configured, and writes them back into it, or into a fresh one in index
// order or the reverse (a session reopened): the texts are the same and no
// sample changes. A value no float position reaches (a default of 0.3, or
// 200 Hz, which reads back as 1/3, the position of 200.00003 Hz) is kept
// because its own reported position, written back, changes nothing.
TEST(PluginParameters, SavedPositionsRestoreTextsAndSound) {
    const testhost::Stereo in(testhost::noise(7, 0.4, 8192), testhost::sine(220.0, 0.6, 8192));
    auto render = [&](Plugin& plugin) { return testhost::render(plugin, in, 512); };
    for (std::uint32_t seed = 0; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        Plugin original;
        Plugin reopened;
        for (int n = 0; seed != 0 && n < 40; ++n) {  // seed 0 keeps the defaults
            const auto index = static_cast<std::int32_t>(random() % param::count);
            const float position = std::uniform_real_distribution<float>(0.0f, 1.0f)(random);
            original.setParameter(index, position);
            reopened.setParameter(index, position);
        }
        std::vector<float> saved(param::count);
        for (std::int32_t index = 0; index < param::count; ++index) {
            saved[static_cast<std::size_t>(index)] = original.parameter(index);
            reopened.setParameter(index, saved[static_cast<std::size_t>(index)]);
        }
        const testhost::Stereo out = render(original);
        EXPECT_TRUE(render(reopened) == out);

        for (bool reverse : {false, true}) {
            Plugin restored;
            for (std::int32_t n = 0; n < param::count; ++n) {
                const std::int32_t index = reverse ? param::count - 1 - n : n;
                restored.setParameter(index, saved[static_cast<std::size_t>(index)]);
            }
            for (std::int32_t index = 0; index < param::count; ++index) {
                EXPECT_EQ(restored.parameterDisplay(index), original.parameterDisplay(index))
                    << index;
                EXPECT_EQ(restored.parameter(index), saved[static_cast<std::size_t>(index)])
                    << index;
            }
            EXPECT_TRUE(render(restored) == out);
        }
    }
}
