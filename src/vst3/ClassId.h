// The class ID of a VST 3 plug-in that replaces a VST 2 one, so that a host
// finds the twin of a project's VST 2 plug-in: "VST", the VST 2 unique ID,
// then the first nine bytes of the VST 2 name lower-cased (zeros after a
// shorter name), as four words.
#pragma once

#include "vst3/Vst3Interfaces.h"

namespace vst3 {

namespace detail {

constexpr uint32 lowerByteAt(const char* name, int index) {
    for (int i = 0; i < index; ++i) {
        if (name[i] == '\0') return 0;
    }
    const char c = name[index];
    return static_cast<uint8>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
}

constexpr uint32 nameWord(const char* name, int first) {
    return lowerByteAt(name, first) << 24 | lowerByteAt(name, first + 1) << 16 |
           lowerByteAt(name, first + 2) << 8 | lowerByteAt(name, first + 3);
}

}  // namespace detail

struct ClassWords {
    uint32 words[4];
};

constexpr ClassWords replacementClassWords(uint32 uniqueId, const char* name) {
    return {{0x56535400u | uniqueId >> 24,
             (uniqueId & 0xFFFFFFu) << 8 | detail::lowerByteAt(name, 0),
             detail::nameWord(name, 1), detail::nameWord(name, 5)}};
}

constexpr Uid replacementClassId(uint32 uniqueId, const char* name) {
    const ClassWords id = replacementClassWords(uniqueId, name);
    return Uid::fromWords(id.words[0], id.words[1], id.words[2], id.words[3]);
}

}  // namespace vst3
