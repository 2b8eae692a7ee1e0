// Whole byte runs through a host's streams, which may move fewer bytes per
// call than asked.
#pragma once

#include <cstddef>
#include <cstdint>

#include "clap/ClapInterfaces.h"

namespace clap {

// False when the stream fails or stops taking bytes.
bool writeAll(const clap_ostream& stream, const std::uint8_t* data, std::size_t size);
// False when the stream fails or ends first.
bool readExactly(const clap_istream& stream, std::uint8_t* data, std::size_t size);

}  // namespace clap
