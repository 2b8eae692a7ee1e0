// Records the heap blocks that stay allocated over a stretch of code, seen
// from outside the plug-in: the executable that links AllocationLog.cpp
// replaces malloc and its kin, and so also serves the plug-in's allocations
// (the plug-in's own C++ runtime allocates through the C library's malloc).
// Only one thread may record at a time; recording itself allocates nothing.
#pragma once

#include <cstddef>

namespace bench {

struct AllocationRecord {
    const void* address;
    std::size_t size;  // bytes asked for
};

class AllocationLog final {
  public:
    static constexpr std::size_t kCapacity = 4096;

    // Forgets what an earlier recording saw and starts a new one.
    static void start();
    static void stop();

    // The blocks allocated while recording and not freed while recording,
    // in allocation order. Valid until the next start().
    static const AllocationRecord* begin();
    static const AllocationRecord* end();
    // More blocks lived at once than the log has room for: the record is
    // incomplete.
    static bool overflowed();
};

}  // namespace bench
