// The plug-in's saved state as bytes, and the other data it is read from.
//
// Own record, every number little-endian:
//   offset  size  field
//        0     4  tag "TCv3"
//        4     4  version, 2
//        8     4  the number of bytes after this field
//       12        one entry per parameter in index order, then the bypass:
//                 1 byte symbol length, the symbol, the position (32-bit float;
//                 the bypass 0 or 1)
// Read back, an entry of an unknown symbol is skipped and a control without
// an entry keeps its default.
// Also read: version 1 (the positions of the twenty parameters in index order,
// then the bypass as a 32-bit 0 or 1; 92 bytes), and the VST 2 plug-in's
// program (.fxp) or bank (.fxb) in parameter form, big-endian as VST 2 writes
// them, holding the first version's twenty parameters or more, up to this
// version's (the rest keep their defaults); a bank gives its current program
// (the first in a version-1 bank). Bypass is off after those.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/ControlIds.h"
#include "engine/PluginState.h"

namespace engine {

namespace record {

constexpr std::size_t entryBytes(const char* symbol) {
    return 1 + std::char_traits<char>::length(symbol) + 4;
}

constexpr bool symbolsFit() {
    for (const char* symbol : effect::param::kIdentifiers) {
        if (std::char_traits<char>::length(symbol) > 255) return false;
    }
    return true;
}

constexpr std::size_t recordBytes() {
    std::size_t bytes = 12 + entryBytes(kBypassSymbol);
    for (const char* symbol : effect::param::kIdentifiers) bytes += entryBytes(symbol);
    return bytes;
}

}  // namespace record

static_assert(record::symbolsFit(), "a symbol's length must fit the record's length byte");

// What a host stream must give before stateSize can tell the whole size.
inline constexpr std::size_t kStateHeadBytes = 12;
// The record's size, from the symbols: a new parameter makes it larger.
inline constexpr std::size_t kStateBytes = record::recordBytes();

using StateBytes = std::array<std::uint8_t, kStateBytes>;

StateBytes encodeState(const PluginState& state);

// The whole size of the record or VST 2 data that starts with these
// kStateHeadBytes bytes; nothing when it is none of ours.
std::optional<std::size_t> stateSize(const std::uint8_t* head);

// One whole state: the own record of either version, or VST 2 data of the
// plug-in with this unique ID. Nothing for anything short, long, of another
// tag, version or plug-in, or holding a value that is not a position.
// A control the data does not name keeps its value in `defaults`.
std::optional<PluginState> decodeState(const std::uint8_t* data, std::size_t size,
                                       std::int32_t uniqueId, const PluginState& defaults);

}  // namespace engine
