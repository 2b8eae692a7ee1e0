#include "ProgramFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "HostError.h"

namespace host {

namespace {

constexpr std::int32_t fourCharacters(const char (&text)[5]) {
    return static_cast<std::int32_t>(
        (static_cast<std::uint32_t>(text[0]) << 24) | (static_cast<std::uint32_t>(text[1]) << 16) |
        (static_cast<std::uint32_t>(text[2]) << 8) | static_cast<std::uint32_t>(text[3]));
}

constexpr std::int32_t kChunkMagic = fourCharacters("CcnK");
constexpr std::int32_t kParameterForm = fourCharacters("FxCk");
constexpr std::int32_t kChunkForm = fourCharacters("FPCh");
constexpr std::int32_t kBankForm = fourCharacters("FxBk");
constexpr std::int32_t kBankChunkForm = fourCharacters("FBCh");
constexpr std::size_t kHeaderBytes = 56;
constexpr std::size_t kNameBytes = 28;
constexpr std::size_t kNameOffset = 28;
// A million parameters; no plug-in comes near.
constexpr std::uintmax_t kMaxFileBytes = kHeaderBytes + 4 * 1000000;

void putInt(std::vector<unsigned char>& out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<unsigned char>(bits >> shift));
    }
}

std::int32_t getInt(const std::vector<unsigned char>& in, std::size_t offset) {
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4; ++i) bits = (bits << 8) | in[offset + i];
    return static_cast<std::int32_t>(bits);
}

std::string hex(std::int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned int>(value));
    return text;
}

}  // namespace

std::vector<unsigned char> encodeProgram(const Program& program) {
    const auto count = static_cast<std::int32_t>(program.parameters.size());
    std::vector<unsigned char> out;
    out.reserve(kHeaderBytes + 4 * program.parameters.size());
    putInt(out, kChunkMagic);
    putInt(out, 48 + 4 * count);
    putInt(out, kParameterForm);
    putInt(out, 1);
    putInt(out, program.pluginId);
    putInt(out, program.pluginVersion);
    putInt(out, count);
    char name[kNameBytes] = {};
    std::strncpy(name, program.name.c_str(), kNameBytes - 1);
    out.insert(out.end(), name, name + kNameBytes);
    for (const float value : program.parameters) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        putInt(out, static_cast<std::int32_t>(bits));
    }
    return out;
}

Program decodeProgram(const std::vector<unsigned char>& bytes, const std::string& source) {
    const auto fail = [&](const std::string& why) {
        return HostError("'" + source + "' is not a usable program file: " + why);
    };
    if (bytes.size() < kHeaderBytes) {
        throw fail("it holds " + std::to_string(bytes.size()) +
                   " bytes, fewer than a program header");
    }
    if (getInt(bytes, 0) != kChunkMagic) throw fail("it does not start with 'CcnK'");
    const std::int32_t byteSize = getInt(bytes, 4);
    if (byteSize < 0 || static_cast<std::size_t>(byteSize) != bytes.size() - 8) {
        throw fail("its size field says " + std::to_string(byteSize) + " bytes follow, but " +
                   std::to_string(bytes.size() - 8) + " do");
    }
    const std::int32_t form = getInt(bytes, 8);
    if (form == kChunkForm) throw fail("it holds an opaque chunk, not parameter values");
    if (form == kBankForm || form == kBankChunkForm)
        throw fail("it is a bank (.fxb), not a program");
    if (form != kParameterForm) throw fail("unknown form " + hex(form) + " (expected 'FxCk')");
    const std::int32_t version = getInt(bytes, 12);
    if (version != 1 && version != 2)
        throw fail("unknown format version " + std::to_string(version));
    const std::int32_t count = getInt(bytes, 24);
    if (count < 0 || bytes.size() != kHeaderBytes + 4 * static_cast<std::size_t>(count)) {
        throw fail("it declares " + std::to_string(count) + " parameters but holds " +
                   std::to_string((bytes.size() - kHeaderBytes) / 4));
    }

    Program program;
    program.pluginId = getInt(bytes, 16);
    program.pluginVersion = getInt(bytes, 20);
    const auto nameStart = bytes.begin() + kNameOffset;
    const auto nameEnd = std::find(nameStart, nameStart + kNameBytes, 0);
    program.name.assign(nameStart, nameEnd);
    for (std::int32_t i = 0; i < count; ++i) {
        const auto bits = static_cast<std::uint32_t>(
            getInt(bytes, kHeaderBytes + 4 * static_cast<std::size_t>(i)));
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        if (!(value >= 0.0f && value <= 1.0f)) {
            throw fail("parameter " + std::to_string(i) + " holds " + std::to_string(value) +
                       ", outside 0..1");
        }
        program.parameters.push_back(value);
    }
    return program;
}

Program readProgramFile(const std::string& path) {
    // Only a plain file of plausible size is read: a folder fails obscurely and
    // a device such as /dev/zero would be read without end.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        throw HostError("program file '" + path + "' does not exist or is not a file");
    }
    const auto size = std::filesystem::file_size(path, error);
    if (!error && size > kMaxFileBytes) {
        throw HostError("'" + path + "' is not a usable program file: it holds " +
                        std::to_string(size) + " bytes, far more than any program");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) throw HostError("cannot open program file '" + path + "'");
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                           std::istreambuf_iterator<char>());
    if (in.bad()) throw HostError("error reading program file '" + path + "'");
    return decodeProgram(bytes, path);
}

void writeProgramFile(OutputFile& output, const Program& program) {
    const std::vector<unsigned char> bytes = encodeProgram(program);
    std::ofstream out(output.temporaryPath(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw HostError("error writing program file '" + output.targetPath() + "'");
}

void writeProgramFile(const std::string& path, const Program& program) {
    OutputFile output(path);
    writeProgramFile(output, program);
    output.commit();
}

Program captureProgram(const PluginInstance& plugin) {
    Program program;
    program.pluginId = plugin.uniqueId();
    program.pluginVersion = plugin.version();
    program.name = plugin.programName();
    for (std::int32_t i = 0; i < plugin.numParams(); ++i) {
        program.parameters.push_back(plugin.parameter(i));
    }
    return program;
}

void applyProgram(PluginInstance& plugin, const Program& program, const std::string& source) {
    if (program.pluginId != plugin.uniqueId()) {
        throw HostError("program '" + source + "' was made for the plug-in with id " +
                        hex(program.pluginId) + ", not this one (" + hex(plugin.uniqueId()) + ")");
    }
    if (program.parameters.size() != static_cast<std::size_t>(plugin.numParams())) {
        throw HostError("program '" + source + "' holds " +
                        std::to_string(program.parameters.size()) +
                        " parameters; the plug-in has " + std::to_string(plugin.numParams()));
    }
    for (std::size_t i = 0; i < program.parameters.size(); ++i) {
        plugin.setParameter(static_cast<std::int32_t>(i), program.parameters[i]);
    }
}

}  // namespace host
