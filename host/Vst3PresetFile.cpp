#include "Vst3PresetFile.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "HostError.h"

namespace host {

namespace {

// The header: 'VST3', version, class ID, the chunk list's offset.
constexpr std::size_t kHeaderSize = 4 + 4 + 32 + 8;
// Far more than any preset holds; a larger count is damage.
constexpr std::int32_t kMostChunks = 64;

template <typename Integer>
Integer readLittleEndian(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < sizeof(Integer); ++i) {
        value |= static_cast<std::uint64_t>(bytes[at + i]) << (8 * i);
    }
    return static_cast<Integer>(value);
}

bool tagAt(const std::vector<std::uint8_t>& bytes, std::size_t at, const char* tag) {
    return std::memcmp(bytes.data() + at, tag, 4) == 0;
}

}  // namespace

std::string classIdText(const char (&bytes)[16]) {
    std::string text;
    char digits[3];
    for (const char byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02X",
                      static_cast<unsigned>(static_cast<unsigned char>(byte)));
        text += digits;
    }
    return text;
}

Vst3Preset readVst3Preset(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw HostError("cannot read the preset file " + path);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    const auto damaged = [&](const std::string& why) {
        return HostError(path + " is no VST 3 preset file, or is damaged: " + why);
    };
    if (bytes.size() < kHeaderSize || !tagAt(bytes, 0, "VST3")) throw damaged("no 'VST3' header");
    Vst3Preset preset;
    for (std::size_t i = 8; i < 40; ++i) {
        const auto c = static_cast<char>(bytes[i]);
        if (std::isxdigit(static_cast<unsigned char>(c)) == 0)
            throw damaged("a class ID that is not hex");
        preset.classId += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    const auto listAt = readLittleEndian<std::uint64_t>(bytes, 40);
    if (listAt < kHeaderSize || listAt > bytes.size() - 8 || !tagAt(bytes, listAt, "List")) {
        throw damaged("no chunk list where the header says");
    }
    const auto count = readLittleEndian<std::int32_t>(bytes, listAt + 4);
    const std::size_t entries = listAt + 8;
    if (count < 0 || count > kMostChunks ||
        entries + static_cast<std::size_t>(count) * 20 > bytes.size()) {
        throw damaged("a chunk list that does not fit the file");
    }
    bool haveComponent = false;
    for (std::int32_t i = 0; i < count; ++i) {
        const std::size_t entry = entries + static_cast<std::size_t>(i) * 20;
        const auto offset = readLittleEndian<std::uint64_t>(bytes, entry + 4);
        const auto size = readLittleEndian<std::uint64_t>(bytes, entry + 12);
        if (offset > bytes.size() || size > bytes.size() - offset) {
            throw damaged("a chunk beyond the end of the file");
        }
        const auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(offset);
        const auto end = begin + static_cast<std::ptrdiff_t>(size);
        if (tagAt(bytes, entry, "Comp")) {
            preset.component.assign(begin, end);
            haveComponent = true;
        } else if (tagAt(bytes, entry, "Cont")) {
            preset.controller.assign(begin, end);
        }
    }
    if (!haveComponent) throw damaged("no component state ('Comp')");
    return preset;
}

}  // namespace host
