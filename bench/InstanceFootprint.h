// Memory of the loaded plug-in and of one effect instance, measured from
// outside: the library's mapped segments, and the heap blocks that the
// entry "main" leaves allocated, each attributed by what it is (the block
// holding the returned record is the effect object; polymorphic blocks are
// named by the run-time type information their vtable points to).
#pragma once

#include <cstddef>
#include <memory>

#include "PluginLibrary.h"

namespace bench {

// The library's loadable segments, each rounded out to whole pages.
struct MappedImage {
    std::size_t totalBytes = 0;
    std::size_t codeBytes = 0;      // executable
    std::size_t writableBytes = 0;  // data, relocated data and zero-filled data
};

MappedImage mappedImage(const host::PluginLibrary& library);

struct InstanceFootprint {
    // The heap chunks of the blocks main leaves allocated: usable size plus
    // the allocator's size word.
    std::size_t heapBytes = 0;
    // mallinfo2's bytes in use after main minus before. Lower than heapBytes
    // when main reuses chunks that glibc's per-thread cache held, which
    // mallinfo2 already counts as in use.
    std::size_t mallinfoBytes = 0;
    std::size_t requestedBytes = 0;  // bytes asked for by those blocks
    std::size_t blocks = 0;
    std::size_t effectObjectBytes = 0;
    std::size_t bankBytes = 0;
    std::size_t banks = 0;
    std::size_t dynamicsBytes = 0;
    std::size_t otherBytes = 0;  // parameter texts, choice lists and the like
    bool complete = false;       // every block was logged and the effect object found
};

// Creates one effect with the library's entry, measures it and closes it.
// Needs AllocationLog.cpp linked into the executable.
InstanceFootprint measureInstance(const std::shared_ptr<const host::PluginLibrary>& library);

}  // namespace bench
