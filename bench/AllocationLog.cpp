#include "AllocationLog.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>

// glibc's own allocator entries, which the replacements below forward to.
extern "C" {
void* __libc_malloc(std::size_t size) noexcept;
void* __libc_calloc(std::size_t count, std::size_t size) noexcept;
void* __libc_realloc(void* block, std::size_t size) noexcept;
void* __libc_memalign(std::size_t alignment, std::size_t size) noexcept;
void __libc_free(void* block) noexcept;
}

namespace bench {
namespace {

std::atomic<bool> recording{false};
AllocationRecord records[AllocationLog::kCapacity];
std::size_t recordCount = 0;
bool overflow = false;

void note(const void* block, std::size_t size) {
    if (block == nullptr || !recording.load(std::memory_order_relaxed)) return;
    if (recordCount == AllocationLog::kCapacity) {
        overflow = true;
        return;
    }
    records[recordCount++] = AllocationRecord{block, size};
}

// Drops the block if this recording allocated it; keeps allocation order.
void forget(const void* block) {
    if (block == nullptr || !recording.load(std::memory_order_relaxed)) return;
    for (std::size_t i = recordCount; i-- > 0;) {
        if (records[i].address != block) continue;
        for (std::size_t j = i + 1; j < recordCount; ++j) records[j - 1] = records[j];
        --recordCount;
        return;
    }
}

}  // namespace

void AllocationLog::start() {
    recordCount = 0;
    overflow = false;
    recording.store(true, std::memory_order_relaxed);
}

void AllocationLog::stop() {
    recording.store(false, std::memory_order_relaxed);
}

const AllocationRecord* AllocationLog::begin() {
    return records;
}

const AllocationRecord* AllocationLog::end() {
    return records + recordCount;
}

bool AllocationLog::overflowed() {
    return overflow;
}

}  // namespace bench

extern "C" {

void* malloc(std::size_t size) noexcept {
    void* block = __libc_malloc(size);
    bench::note(block, size);
    return block;
}

void* calloc(std::size_t count, std::size_t size) noexcept {
    void* block = __libc_calloc(count, size);
    bench::note(block, count * size);
    return block;
}

void* realloc(void* old, std::size_t size) noexcept {
    void* block = __libc_realloc(old, size);
    if (block != nullptr || size == 0) bench::forget(old);
    bench::note(block, size);
    return block;
}

void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept {
    void* block = __libc_memalign(alignment, size);
    bench::note(block, size);
    return block;
}

void* memalign(std::size_t alignment, std::size_t size) noexcept {
    void* block = __libc_memalign(alignment, size);
    bench::note(block, size);
    return block;
}

int posix_memalign(void** result, std::size_t alignment, std::size_t size) noexcept {
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return EINVAL;
    void* block = __libc_memalign(alignment, size);
    if (block == nullptr && size != 0) return ENOMEM;
    *result = block;
    bench::note(block, size);
    return 0;
}

void free(void* block) noexcept {
    bench::forget(block);
    __libc_free(block);
}

}  // extern "C"
