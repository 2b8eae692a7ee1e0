#include "vst3/StateRecord.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace vst3 {

namespace {

constexpr std::size_t kParameterCount = effect::param::count;
constexpr std::uint32_t kVersion = 1;
constexpr char kTag[4] = {'T', 'C', 'v', '3'};
constexpr char kChunkMagic[4] = {'C', 'c', 'n', 'K'};
constexpr char kProgramForm[4] = {'F', 'x', 'C', 'k'};
constexpr char kBankForm[4] = {'F', 'x', 'B', 'k'};
// VST 2 program: 56 header bytes, then the values; bank: 156 header bytes, then programs.
constexpr std::size_t kProgramHeaderBytes = 56;
constexpr std::size_t kProgramBytes = kProgramHeaderBytes + 4 * kParameterCount;
constexpr std::size_t kBankHeaderBytes = 156;
// Far beyond any bank of this plug-in; a larger size field is not ours.
constexpr std::uint32_t kLargestVst2Data = 1u << 20;

using Bytes = const std::uint8_t*;

std::uint32_t littleEndian(Bytes at) {
    return std::uint32_t{at[0]} | std::uint32_t{at[1]} << 8 | std::uint32_t{at[2]} << 16 |
           std::uint32_t{at[3]} << 24;
}

std::uint32_t bigEndian(Bytes at) {
    return std::uint32_t{at[0]} << 24 | std::uint32_t{at[1]} << 16 | std::uint32_t{at[2]} << 8 |
           std::uint32_t{at[3]};
}

void putLittleEndian(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

bool hasTag(Bytes at, const char (&tag)[4]) {
    return std::memcmp(at, tag, sizeof tag) == 0;
}

// A position as the parameters take it: finite and within 0..1.
std::optional<float> position(std::uint32_t bits) {
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    if (!(value >= 0.0f && value <= 1.0f)) return std::nullopt;
    return value;
}

// Reads exactly `count` bytes; the host may report success on a short read.
bool readExactly(IBStream* stream, std::uint8_t* into, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        int32 got = 0;
        const tresult result =
            stream->read(into + done, static_cast<int32>(count - done), &got);
        if (result != kResultOk || got <= 0 || static_cast<std::size_t>(got) > count - done) {
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

std::optional<PluginState> decodeOwnRecord(Bytes record) {
    if (littleEndian(record + 4) != kVersion) return std::nullopt;
    PluginState state;
    for (std::size_t i = 0; i < kParameterCount; ++i) {
        const std::optional<float> value = position(littleEndian(record + 8 + 4 * i));
        if (!value) return std::nullopt;
        state.positions[i] = *value;
    }
    const std::uint32_t bypass = littleEndian(record + 8 + 4 * kParameterCount);
    if (bypass > 1) return std::nullopt;
    state.bypass = bypass == 1;
    return state;
}

// One VST 2 program of this plug-in, `bytes` long from its 'CcnK'.
std::optional<PluginState> decodeProgram(Bytes program, std::size_t bytes,
                                         std::int32_t uniqueId) {
    if (bytes != kProgramBytes || !hasTag(program, kChunkMagic) ||
        bigEndian(program + 4) != kProgramBytes - 8 || !hasTag(program + 8, kProgramForm)) {
        return std::nullopt;
    }
    const std::uint32_t version = bigEndian(program + 12);
    if ((version != 1 && version != 2) ||
        bigEndian(program + 16) != static_cast<std::uint32_t>(uniqueId) ||
        bigEndian(program + 24) != kParameterCount) {
        return std::nullopt;
    }
    PluginState state;
    for (std::size_t i = 0; i < kParameterCount; ++i) {
        const std::optional<float> value =
            position(bigEndian(program + kProgramHeaderBytes + 4 * i));
        if (!value) return std::nullopt;
        state.positions[i] = *value;
    }
    return state;
}

std::optional<PluginState> decodeBank(Bytes bank, std::size_t bytes, std::int32_t uniqueId) {
    if (bytes < kBankHeaderBytes) return std::nullopt;
    const std::uint32_t version = bigEndian(bank + 12);
    const std::uint32_t programs = bigEndian(bank + 24);
    if ((version != 1 && version != 2) ||
        bigEndian(bank + 16) != static_cast<std::uint32_t>(uniqueId) || programs == 0 ||
        programs > bytes / kProgramBytes || bytes != kBankHeaderBytes + programs * kProgramBytes) {
        return std::nullopt;
    }
    std::uint32_t current = version == 2 ? bigEndian(bank + 28) : 0;
    if (current >= programs) current = 0;
    return decodeProgram(bank + kBankHeaderBytes + current * kProgramBytes, kProgramBytes,
                         uniqueId);
}

}  // namespace

std::array<std::uint8_t, kStateBytes> encodeState(const PluginState& state) {
    std::array<std::uint8_t, kStateBytes> record{};
    std::memcpy(record.data(), kTag, sizeof kTag);
    putLittleEndian(record.data() + 4, kVersion);
    for (std::size_t i = 0; i < kParameterCount; ++i) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &state.positions[i], sizeof bits);
        putLittleEndian(record.data() + 8 + 4 * i, bits);
    }
    putLittleEndian(record.data() + 8 + 4 * kParameterCount, state.bypass ? 1 : 0);
    return record;
}

std::optional<PluginState> readState(IBStream* stream, std::int32_t uniqueId) {
    if (stream == nullptr) return std::nullopt;
    std::array<std::uint8_t, kStateBytes> record{};
    if (!readExactly(stream, record.data(), 8)) return std::nullopt;
    if (hasTag(record.data(), kTag)) {
        if (!readExactly(stream, record.data() + 8, kStateBytes - 8)) return std::nullopt;
        return decodeOwnRecord(record.data());
    }
    if (!hasTag(record.data(), kChunkMagic)) return std::nullopt;
    const std::uint32_t following = bigEndian(record.data() + 4);
    if (following < 4 || following > kLargestVst2Data) return std::nullopt;
    std::vector<std::uint8_t> data(8 + following);
    std::memcpy(data.data(), record.data(), 8);
    if (!readExactly(stream, data.data() + 8, following)) return std::nullopt;
    if (hasTag(data.data() + 8, kProgramForm)) {
        return decodeProgram(data.data(), data.size(), uniqueId);
    }
    if (hasTag(data.data() + 8, kBankForm)) return decodeBank(data.data(), data.size(), uniqueId);
    return std::nullopt;
}

bool writeState(IBStream* stream, const PluginState& state) {
    if (stream == nullptr) return false;
    std::array<std::uint8_t, kStateBytes> record = encodeState(state);
    int32 written = 0;
    return stream->write(record.data(), static_cast<int32>(record.size()), &written) ==
               kResultOk &&
           written == static_cast<int32>(record.size());
}

}  // namespace vst3
