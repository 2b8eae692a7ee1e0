#include "vst3/ParameterTable.h"

#include <cstdint>

namespace vst3 {

bool ParameterTable::describe(int32 index, ParameterInfo& info) const {
    if (index < 0 || index >= kCount) return false;
    const engine::Control& control = controls_.at(static_cast<std::size_t>(index));
    info = ParameterInfo{};
    info.id = control.id();
    info.unitId = kRootUnitId;
    info.defaultNormalizedValue = control.defaultPosition();
    copyUtf16(control.name(), info.title, 128);
    copyUtf16(control.shortName(), info.shortTitle, 128);
    copyUtf16(control.unitLabel(), info.units, 128);
    info.stepCount = control.stepCount();
    switch (control.kind()) {
        case engine::ControlKind::range:
        case engine::ControlKind::toggle:
            info.flags = kCanAutomate;
            break;
        case engine::ControlKind::choice:
            info.flags = kCanAutomate | kIsList;
            break;
        case engine::ControlKind::bypass:
            info.flags = kCanAutomate | kIsBypass;
            break;
        case engine::ControlKind::meter:
            info.flags = kIsReadOnly;
            break;
    }
    return true;
}

void copyUtf16(const std::string& text, char16* into, std::size_t capacity) {
    if (capacity == 0) return;
    std::size_t out = 0;
    for (std::size_t i = 0; i < text.size() && out + 1 < capacity;) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::uint32_t code = length == 1 ? lead : lead & (0x3Fu >> (length - 1));
        for (std::size_t k = 1; k < length && i + k < text.size(); ++k) {
            code = code << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        }
        i += length;
        // Outside the basic plane: a replacement mark rather than a surrogate pair.
        into[out++] = static_cast<char16>(code > 0xFFFF ? 0xFFFD : code);
    }
    into[out] = 0;
}

std::string fromUtf16(const char16* text) {
    std::string result;
    for (std::size_t i = 0; text[i] != 0 && i < 128; ++i) {
        const std::uint32_t code = text[i];
        if (code < 0x80) {
            result += static_cast<char>(code);
        } else if (code < 0x800) {
            result += static_cast<char>(0xC0 | code >> 6);
            result += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            result += static_cast<char>(0xE0 | code >> 12);
            result += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            result += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return result;
}

}  // namespace vst3
