#include "ProgramFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>

#include "HostError.h"
#include "HostTestSupport.h"

namespace host::test {
namespace {

Program sampleProgram() {
    return {0x54657374, 3, "Loud drums", {0.0f, 0.25f, 1.0f}};
}

void putWord(std::vector<unsigned char>& bytes, std::size_t offset, std::uint32_t word) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<unsigned char>(word >> (24 - 8 * i));
    }
}

TEST(ProgramFile, EncodesTheStandardBigEndianLayout) {
    const auto bytes = encodeProgram(sampleProgram());
    ASSERT_EQ(bytes.size(), 56u + 3u * 4u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "CcnK");
    EXPECT_EQ(bytes[7], 48 + 12);  // byteSize, big-endian
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 12), "FxCk");
    EXPECT_EQ(bytes[15], 1);                                                 // format version
    EXPECT_EQ(std::string(bytes.begin() + 16, bytes.begin() + 20), "Test");  // plug-in id
    EXPECT_EQ(bytes[23], 3);                                                 // plug-in version
    EXPECT_EQ(bytes[27], 3);                                                 // parameter count
    EXPECT_STREQ(reinterpret_cast<const char*>(bytes.data() + 28), "Loud drums");
    // 0.25f is 0x3E800000.
    EXPECT_EQ(bytes[60], 0x3E);
    EXPECT_EQ(bytes[61], 0x80);
}

TEST(ProgramFile, DecodesWhatItEncodes) {
    const Program decoded = decodeProgram(encodeProgram(sampleProgram()), "memory");
    EXPECT_EQ(decoded.pluginId, 0x54657374);
    EXPECT_EQ(decoded.pluginVersion, 3);
    EXPECT_EQ(decoded.name, "Loud drums");
    EXPECT_EQ(decoded.parameters, sampleProgram().parameters);
}

TEST(ProgramFile, RejectsDamagedAndForeignFiles) {
    struct Case {
        const char* what;
        void (*damage)(std::vector<unsigned char>&);
        const char* reason;
    };
    const Case cases[] = {
        {"truncated header", [](auto& b) { b.resize(40); }, "fewer than a program header"},
        {"not a chunk", [](auto& b) { b[0] = 'X'; }, "does not start with 'CcnK'"},
        {"size field", [](auto& b) { putWord(b, 4, 1000); }, "size field says 1000"},
        {"missing value", [](auto& b) { b.resize(b.size() - 4); }, "size field says"},
        {"opaque chunk", [](auto& b) { std::memcpy(b.data() + 8, "FPCh", 4); }, "opaque chunk"},
        {"bank", [](auto& b) { std::memcpy(b.data() + 8, "FxBk", 4); }, "is a bank"},
        {"unknown form", [](auto& b) { std::memcpy(b.data() + 8, "Junk", 4); }, "unknown form"},
        {"format version", [](auto& b) { putWord(b, 12, 9); }, "unknown format version 9"},
        {"count", [](auto& b) { putWord(b, 24, 4); }, "declares 4 parameters but holds 3"},
        {"negative count", [](auto& b) { putWord(b, 24, 0xFFFFFFFFu); }, "declares -1"},
        {"NaN value", [](auto& b) { putWord(b, 56, 0x7FC00000u); }, "outside 0..1"},
        {"value above 1", [](auto& b) { putWord(b, 60, 0x40000000u); }, "outside 0..1"},
    };
    for (const Case& c : cases) {
        auto bytes = encodeProgram(sampleProgram());
        c.damage(bytes);
        try {
            decodeProgram(bytes, "damaged.fxp");
            ADD_FAILURE() << c.what << " was accepted";
        } catch (const HostError& error) {
            EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos)
                << c.what << ": " << error.what();
        }
    }
}

class ProgramFileWithEffect : public ScratchFolder {};

TEST_F(ProgramFileWithEffect, RoundTripsAPlugInsStateThroughAFile) {
    const std::string path = file("state.fxp");
    {
        PluginInstance plugin(kTestEffect, 48000.0, 512);
        plugin.setParameter(0, 0.8125f);
        plugin.setParameter(1, 0.5f);
        plugin.setParameter(2, 1.0f);
        writeProgramFile(path, captureProgram(plugin));
    }
    PluginInstance fresh(kTestEffect, 48000.0, 512);
    applyProgram(fresh, readProgramFile(path), path);
    EXPECT_EQ(fresh.parameter(0), 0.8125f);
    EXPECT_EQ(fresh.parameter(1), 0.5f);
    EXPECT_EQ(fresh.parameter(2), 1.0f);
    EXPECT_EQ(fresh.parameterDisplay(1), "Medium");
}

TEST_F(ProgramFileWithEffect, RefusesAProgramMadeForAnotherPlugIn) {
    PluginInstance plugin(kTestEffect, 48000.0, 512);
    Program otherId = sampleProgram();
    otherId.pluginId = 0x4F746872;
    Program otherCount = sampleProgram();
    otherCount.parameters.push_back(0.5f);
    EXPECT_THROW(applyProgram(plugin, otherId, "other.fxp"), HostError);
    EXPECT_THROW(applyProgram(plugin, otherCount, "other.fxp"), HostError);
    EXPECT_EQ(plugin.parameter(0), 0.5f) << "a refused program must change nothing";
    EXPECT_THROW(readProgramFile(file("missing.fxp")), HostError);
}

}  // namespace
}  // namespace host::test
