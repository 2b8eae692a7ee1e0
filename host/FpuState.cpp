#include "FpuState.h"

#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
#define HOST_HAS_MXCSR 1
#else
#include <cfenv>
#endif

namespace host {

#if HOST_HAS_MXCSR
namespace {
constexpr unsigned int kFlushToZero = 0x8000;
constexpr unsigned int kDenormalsAreZero = 0x0040;
}  // namespace

FpuState FpuState::current() {
    return FpuState(_mm_getcsr());
}

void FpuState::restore() const {
    _mm_setcsr(control_);
}

bool FpuState::flushesDenormals() const {
    return (control_ & (kFlushToZero | kDenormalsAreZero)) != 0;
}
#else
// Without MXCSR the rounding mode is the control state the host can restore portably.
FpuState FpuState::current() {
    return FpuState(static_cast<unsigned int>(std::fegetround()));
}

void FpuState::restore() const {
    std::fesetround(static_cast<int>(control_));
}

bool FpuState::flushesDenormals() const {
    return false;
}
#endif

const FpuState& FpuState::processDefault() {
    static const FpuState initial = current();
    return initial;
}

}  // namespace host
