// The plug-in as a host first meets it: the record, the names and the
// parameters, reached only through the library's entry and the record.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "PluginHarness.h"

using testhost::Plugin;

TEST(PluginEntry, RefusesHostWithoutVersion) {
    auto entry = testhost::sharedLibrary().entry();
    testhost::setVersionAnswer(0);
    EXPECT_EQ(entry(testhost::testHostCallback), nullptr);
    testhost::setVersionAnswer(2400);
    EXPECT_EQ(entry(nullptr), nullptr);
}

TEST(PluginEntry, RecordDescribesTheEffect) {
    Plugin plugin;
    const vst::AEffect& fx = *plugin.record();
    EXPECT_EQ(fx.magic, vst::kEffectMagic);
    EXPECT_EQ(fx.numPrograms, 1);
    EXPECT_EQ(fx.numParams, 20);
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

    EXPECT_EQ(plugin.text(vst::effGetEffectName), "Compressor");
    EXPECT_EQ(plugin.text(vst::effGetProductString), "Compressor");
    EXPECT_EQ(plugin.text(vst::effGetVendorString), "Tessel @ Vantrelix");
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
    const DefaultParameter expected[20] = {
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
    for (std::int32_t i = 0; i < 20; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(plugin.name(i), expected[i].name);
        EXPECT_EQ(plugin.label(i), expected[i].label);
        EXPECT_EQ(plugin.display(i), expected[i].display);
        EXPECT_NEAR(plugin.get(i), expected[i].position, 1e-6);
    }
}

TEST(PluginParameters, TextRequestsWriteExactlyTheirBudget) {
    Plugin plugin;
    char buffer[40];
    std::memset(buffer, '#', sizeof buffer);
    plugin.dispatch(vst::effGetParamName, 19, 0, buffer);
    EXPECT_STREQ(buffer, "Band 3 out adjust");
    EXPECT_EQ(buffer[24], '\0');
    EXPECT_EQ(buffer[25], '#');

    std::memset(buffer, '#', sizeof buffer);
    plugin.dispatch(vst::effGetParamDisplay, 8, 0, buffer);
    EXPECT_STREQ(buffer, "Tessel6A");
    EXPECT_EQ(buffer[9], '#');

    for (std::int32_t index : {20, -1, std::numeric_limits<std::int32_t>::max()}) {
        for (std::int32_t opcode :
             {vst::effGetParamName, vst::effGetParamLabel, vst::effGetParamDisplay}) {
            std::memset(buffer, '#', sizeof buffer);
            plugin.dispatch(opcode, index, 0, buffer);
            EXPECT_EQ(buffer[0], '\0');
            EXPECT_EQ(buffer[1], '#');
        }
        EXPECT_EQ(plugin.get(index), 0.0f);
    }
}

struct SetCase {
    std::int32_t index;
    float position;
    const char* display;
};

TEST(PluginParameters, PositionsSelectTheDocumentedValues) {
    const SetCase cases[] = {
        {8, 2.0f / 11.0f, "LP6A up"},
        {8, 1.0f, "LP18 dn"},
        {8, 0.999f, "LP18 dn"},
        {8, 0.0f, "Tessel6A"},
        {0, 1.0f, "Band 3"},
        {0, 0.3f, "Band 0"},
        {5, 0.49f, "A"},
        {5, 0.5f, "B"},
        {6, 0.5f, "on"},
        {6, 0.49999f, "off"},
        {1, 1.0f, "60"},
        {1, 0.0f, "-20"},
        {2, 1.0f, "12.0412"},
        {3, 1.0f, "20000"},
        {3, 0.5f, "1250"},
        {3, 0.0f, "0"},
        {9, 0.5f, "632.456"},
        {4, 1.0f, "100"},
        {7, 0.25f, "25"},
        {12, 1.0f, "20"},
        {19, 0.0f, "-20"},
    };
    Plugin plugin;
    for (const SetCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.index) + " <- " + std::to_string(c.position));
        plugin.set(c.index, c.position);
        EXPECT_EQ(plugin.display(c.index), c.display);
    }
    plugin.set(0, 0.3f);
    EXPECT_FLOAT_EQ(plugin.get(0), 0.25f);
    plugin.set(2, 1.0f);
    EXPECT_FLOAT_EQ(plugin.get(2), 1.0f);
}

TEST(PluginParameters, OutOfRangeWritesAreIgnored) {
    Plugin plugin;
    const float bad[] = {1.5f, -0.1f, std::numeric_limits<float>::quiet_NaN(),
                         std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity()};
    for (float value : bad) {
        plugin.set(3, value);
        plugin.set(4, value);
        EXPECT_EQ(plugin.display(3), "100");
        EXPECT_EQ(plugin.display(4), "50");
        EXPECT_NEAR(plugin.get(4), 0.5f, 1e-7);
    }
    plugin.set(25, 0.5f);
    plugin.set(20, 0.5f);
    plugin.set(-1, 0.5f);
    for (std::int32_t i = 0; i < 20; ++i) EXPECT_NE(plugin.display(i), "");
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
    for (std::int32_t index = 0; index < 20; ++index) {
        for (float position : positions) {
            plugin.set(index, position);
            const float first = plugin.get(index);
            const std::string shown = plugin.display(index);
            plugin.set(index, first);
            ASSERT_EQ(plugin.get(index), first) << index << " at " << position;
            ASSERT_EQ(plugin.display(index), shown) << index << " at " << position;
        }
    }
}

float largestDifference(const std::vector<float>& a, const std::vector<float>& b) {
    float largest = 0.0f;
    for (std::size_t i = 0; i < a.size(); ++i) largest = std::max(largest, std::fabs(a[i] - b[i]));
    return largest;
}

// A host saves the twenty positions of a configured instance and restores
// them into a fresh one, in index order or the reverse: the texts are the
// same and, from the same start, the same input gives the same output.
//
// A default value need not lie on the grid of 32-bit positions (200 Hz reads
// back as 1/3, which maps to 200.00003 Hz), so the first restore may move an
// untouched parameter by a rounding step: the texts stay, the sound moves by
// far less than anyone could hear. From then on save and restore are exact.
TEST(PluginParameters, SavedPositionsRestoreTextsAndSound) {
    const std::vector<float> inLeft = testhost::noise(7, 0.4, 8192);
    const std::vector<float> inRight = testhost::sine(220.0, 0.6, 8192);
    auto render = [&](Plugin& plugin, std::vector<float>& left, std::vector<float>& right) {
        plugin.processInBlocks(inLeft, inRight, left, right, 512);
    };
    for (std::uint32_t seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        Plugin original;
        for (int n = 0; n < 40; ++n) {
            const auto index = static_cast<std::int32_t>(random() % 20);
            original.set(index, std::uniform_real_distribution<float>(0.0f, 1.0f)(random));
        }
        std::vector<float> saved(20);
        for (std::int32_t index = 0; index < 20; ++index) {
            saved[static_cast<std::size_t>(index)] = original.get(index);
        }
        std::vector<float> left;
        std::vector<float> right;
        render(original, left, right);

        for (bool reverse : {false, true}) {
            Plugin restored;
            Plugin restoredAgain;
            for (std::int32_t n = 0; n < 20; ++n) {
                const std::int32_t index = reverse ? 19 - n : n;
                restored.set(index, saved[static_cast<std::size_t>(index)]);
                restoredAgain.set(index, restored.get(index));
            }
            for (std::int32_t index = 0; index < 20; ++index) {
                EXPECT_EQ(restored.display(index), original.display(index)) << index;
                EXPECT_EQ(restored.get(index), saved[static_cast<std::size_t>(index)]) << index;
            }
            std::vector<float> restoredLeft;
            std::vector<float> restoredRight;
            render(restored, restoredLeft, restoredRight);
            EXPECT_LE(largestDifference(restoredLeft, left), 1e-5f);
            EXPECT_LE(largestDifference(restoredRight, right), 1e-5f);

            std::vector<float> againLeft;
            std::vector<float> againRight;
            render(restoredAgain, againLeft, againRight);
            EXPECT_EQ(againLeft, restoredLeft);
            EXPECT_EQ(againRight, restoredRight);
        }
    }
}
