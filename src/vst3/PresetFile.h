// A preset file for VST 3 hosts (.vstpreset): the plug-in's class ID and the
// component's state, as hosts load them from their preset folders.
//
//   offset  size  field (every number little-endian)
//        0     4  'VST3'
//        4     4  version, 1
//        8    32  the class ID's four words as upper-case hex digits
//       40     8  offset of the chunk list
//       48     n  chunk 'Comp': the component's state as getState writes it
//     48+n     4  'List'
//              4  number of chunks, 1
//             20  'Comp', its offset (8 bytes) and size (8 bytes)
#pragma once

#include <cstdint>
#include <vector>

#include "vst3/ClassId.h"

namespace vst3 {

std::vector<std::uint8_t> encodePresetFile(const ClassWords& classId,
                                           const std::vector<std::uint8_t>& componentState);

}  // namespace vst3
