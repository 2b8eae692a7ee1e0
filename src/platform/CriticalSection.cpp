#include "platform/CriticalSection.h"

namespace platform {

#if defined(_WIN32)

CriticalSection::CriticalSection() {
    InitializeCriticalSection(&section_);
}
CriticalSection::~CriticalSection() {
    DeleteCriticalSection(&section_);
}
void CriticalSection::enter() {
    EnterCriticalSection(&section_);
}
void CriticalSection::leave() {
    LeaveCriticalSection(&section_);
}

#else

CriticalSection::CriticalSection() = default;
CriticalSection::~CriticalSection() = default;
void CriticalSection::enter() {
    mutex_.lock();
}
void CriticalSection::leave() {
    mutex_.unlock();
}

#endif

}  // namespace platform
