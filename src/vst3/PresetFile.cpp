#include "vst3/PresetFile.h"

#include <cstdio>

namespace vst3 {

namespace {

constexpr std::size_t kHeaderBytes = 48;

void putTag(std::vector<std::uint8_t>& out, const char (&tag)[5]) {
    out.insert(out.end(), tag, tag + 4);
}

void putLittleEndian(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

std::vector<std::uint8_t> encodePresetFile(const ClassWords& classId,
                                           const std::vector<std::uint8_t>& componentState) {
    std::vector<std::uint8_t> file;
    putTag(file, "VST3");
    putLittleEndian(file, 1, 4);
    for (const uint32 word : classId.words) {
        char digits[9];
        std::snprintf(digits, sizeof digits, "%08X", static_cast<unsigned>(word));
        file.insert(file.end(), digits, digits + 8);
    }
    const std::uint64_t listOffset = kHeaderBytes + componentState.size();
    putLittleEndian(file, listOffset, 8);
    file.insert(file.end(), componentState.begin(), componentState.end());
    putTag(file, "List");
    putLittleEndian(file, 1, 4);
    putTag(file, "Comp");
    putLittleEndian(file, kHeaderBytes, 8);
    putLittleEndian(file, componentState.size(), 8);
    return file;
}

}  // namespace vst3
