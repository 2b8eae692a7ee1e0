// The effect's one processing lock. Windows builds use a real critical
// section, as hosts there expect; elsewhere a std::mutex gives the same four
// operations (initialise on construction, enter, leave, delete on destruction).
#pragma once

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <mutex>
#endif

namespace platform {

class CriticalSection final {
  public:
    CriticalSection();
    ~CriticalSection();
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void enter();
    void leave();

  private:
#if defined(_WIN32)
    CRITICAL_SECTION section_;
#else
    std::mutex mutex_;
#endif
};

// Holds the lock for one scope; the processing and reconfiguration paths
// each take it exactly once.
class ScopedLock final {
  public:
    explicit ScopedLock(CriticalSection& lock) : lock_(lock) { lock_.enter(); }
    ~ScopedLock() { lock_.leave(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

  private:
    CriticalSection& lock_;
};

}  // namespace platform
