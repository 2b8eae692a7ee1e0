#include "engine/StateRecord.h"

#include <cstring>
#include <string_view>

namespace engine {

namespace {

constexpr std::uint32_t kVersion = 2;
constexpr std::uint32_t kFirstVersion = 1;
// Version 1: the parameters it had, then the bypass.
constexpr std::size_t kFirstVersionParameters = 20;
constexpr std::size_t kFirstVersionBytes = 8 + 4 * kFirstVersionParameters + 4;
static_assert(kParameterCount >= kFirstVersionParameters,
              "a version-1 record holds the first twenty parameters");
constexpr char kTag[4] = {'T', 'C', 'v', '3'};
constexpr char kChunkMagic[4] = {'C', 'c', 'n', 'K'};
constexpr char kProgramForm[4] = {'F', 'x', 'C', 'k'};
constexpr char kBankForm[4] = {'F', 'x', 'B', 'k'};
// VST 2 program: 56 header bytes, then the values; bank: 156 header bytes, then programs.
constexpr std::size_t kProgramHeaderBytes = 56;
constexpr std::size_t kBankHeaderBytes = 156;
// Far beyond any record or bank of this plug-in; a larger size is not ours.
constexpr std::uint32_t kLargestState = 1u << 20;

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

std::uint32_t bitsOf(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

std::uint8_t* putEntry(std::uint8_t* at, const char* symbol, float value) {
    const std::size_t length = std::char_traits<char>::length(symbol);
    *at++ = static_cast<std::uint8_t>(length);
    std::memcpy(at, symbol, length);
    at += length;
    putLittleEndian(at, bitsOf(value));
    return at + 4;
}

std::optional<PluginState> decodeFirstVersion(Bytes record, std::size_t size,
                                              const PluginState& defaults) {
    if (size != kFirstVersionBytes) return std::nullopt;
    PluginState state = defaults;
    for (std::size_t i = 0; i < kFirstVersionParameters; ++i) {
        const std::optional<float> value = position(littleEndian(record + 8 + 4 * i));
        if (!value) return std::nullopt;
        state.positions[i] = *value;
    }
    const std::uint32_t bypass = littleEndian(record + 8 + 4 * kFirstVersionParameters);
    if (bypass > 1) return std::nullopt;
    state.bypass = bypass == 1;
    return state;
}

// The index of a parameter's symbol; kParameterCount for the bypass; nothing
// for a symbol this version does not know.
std::optional<std::size_t> slotOf(std::string_view symbol) {
    for (std::size_t i = 0; i < kParameterCount; ++i) {
        if (symbol == effect::param::kIdentifiers[i]) return i;
    }
    if (symbol == kBypassSymbol) return kParameterCount;
    return std::nullopt;
}

std::optional<PluginState> decodeRecord(Bytes record, std::size_t size,
                                        const PluginState& defaults) {
    if (size < kStateHeadBytes || littleEndian(record + 8) != size - kStateHeadBytes) {
        return std::nullopt;
    }
    PluginState state = defaults;
    for (std::size_t at = kStateHeadBytes; at < size;) {
        const std::size_t length = record[at];
        if (length == 0 || size - at < 1 + length + 4) return std::nullopt;
        const std::string_view symbol(reinterpret_cast<const char*>(record + at + 1), length);
        const std::optional<float> value = position(littleEndian(record + at + 1 + length));
        if (!value) return std::nullopt;
        at += 1 + length + 4;
        const std::optional<std::size_t> slot = slotOf(symbol);
        if (!slot) continue;
        if (*slot < kParameterCount) {
            state.positions[*slot] = *value;
        } else if (*value == 0.0f || *value == 1.0f) {
            state.bypass = *value == 1.0f;
        } else {
            return std::nullopt;
        }
    }
    return state;
}

// A VST 2 program of this plug-in holds the parameters of its version: the
// first version's twenty or more, up to this version's.
bool knownParameterCount(std::uint32_t count) {
    return count >= kFirstVersionParameters && count <= kParameterCount;
}

std::size_t programBytes(std::uint32_t count) {
    return kProgramHeaderBytes + 4 * std::size_t{count};
}

// One VST 2 program of this plug-in, `bytes` long from its 'CcnK'.
std::optional<PluginState> decodeProgram(Bytes program, std::size_t bytes, std::int32_t uniqueId,
                                         const PluginState& defaults) {
    if (bytes < kProgramHeaderBytes) return std::nullopt;
    const std::uint32_t count = bigEndian(program + 24);
    if (!knownParameterCount(count) || bytes != programBytes(count) ||
        !hasTag(program, kChunkMagic) || bigEndian(program + 4) != bytes - 8 ||
        !hasTag(program + 8, kProgramForm)) {
        return std::nullopt;
    }
    const std::uint32_t version = bigEndian(program + 12);
    if ((version != 1 && version != 2) ||
        bigEndian(program + 16) != static_cast<std::uint32_t>(uniqueId)) {
        return std::nullopt;
    }
    PluginState state = defaults;
    state.bypass = false;
    for (std::size_t i = 0; i < count; ++i) {
        const std::optional<float> value =
            position(bigEndian(program + kProgramHeaderBytes + 4 * i));
        if (!value) return std::nullopt;
        state.positions[i] = *value;
    }
    return state;
}

// Every program of a bank holds as many values as its first.
std::optional<PluginState> decodeBank(Bytes bank, std::size_t bytes, std::int32_t uniqueId,
                                      const PluginState& defaults) {
    if (bytes < kBankHeaderBytes + kProgramHeaderBytes) return std::nullopt;
    const std::uint32_t version = bigEndian(bank + 12);
    const std::uint32_t programs = bigEndian(bank + 24);
    const std::uint32_t count = bigEndian(bank + kBankHeaderBytes + 24);
    if (!knownParameterCount(count)) return std::nullopt;
    const std::size_t program = programBytes(count);
    if ((version != 1 && version != 2) ||
        bigEndian(bank + 16) != static_cast<std::uint32_t>(uniqueId) || programs == 0 ||
        programs > bytes / program || bytes != kBankHeaderBytes + programs * program) {
        return std::nullopt;
    }
    std::uint32_t current = version == 2 ? bigEndian(bank + 28) : 0;
    if (current >= programs) current = 0;
    return decodeProgram(bank + kBankHeaderBytes + current * program, program, uniqueId, defaults);
}

}  // namespace

StateBytes encodeState(const PluginState& state) {
    StateBytes record{};
    std::memcpy(record.data(), kTag, sizeof kTag);
    putLittleEndian(record.data() + 4, kVersion);
    putLittleEndian(record.data() + 8, static_cast<std::uint32_t>(kStateBytes - kStateHeadBytes));
    std::uint8_t* at = record.data() + kStateHeadBytes;
    for (std::size_t i = 0; i < kParameterCount; ++i) {
        at = putEntry(at, effect::param::kIdentifiers[i], state.positions[i]);
    }
    putEntry(at, kBypassSymbol, state.bypass ? 1.0f : 0.0f);
    return record;
}

std::optional<std::size_t> stateSize(const std::uint8_t* head) {
    if (hasTag(head, kTag)) {
        const std::uint32_t version = littleEndian(head + 4);
        if (version == kFirstVersion) return kFirstVersionBytes;
        if (version != kVersion) return std::nullopt;
        const std::uint32_t following = littleEndian(head + 8);
        if (following > kLargestState) return std::nullopt;
        return kStateHeadBytes + following;
    }
    if (!hasTag(head, kChunkMagic)) return std::nullopt;
    const std::uint32_t following = bigEndian(head + 4);
    if (following < 4 || following > kLargestState) return std::nullopt;
    return 8 + std::size_t{following};
}

std::optional<PluginState> decodeState(const std::uint8_t* data, std::size_t size,
                                       std::int32_t uniqueId, const PluginState& defaults) {
    if (data == nullptr || size < kStateHeadBytes) return std::nullopt;
    const std::optional<std::size_t> expected = stateSize(data);
    if (!expected || *expected != size) return std::nullopt;
    if (hasTag(data, kTag)) {
        return littleEndian(data + 4) == kFirstVersion ? decodeFirstVersion(data, size, defaults)
                                                       : decodeRecord(data, size, defaults);
    }
    if (hasTag(data + 8, kProgramForm)) return decodeProgram(data, size, uniqueId, defaults);
    if (hasTag(data + 8, kBankForm)) return decodeBank(data, size, uniqueId, defaults);
    return std::nullopt;
}

}  // namespace engine
