// Marks a per-sample operation that the block renderer's loop must
// inline whatever the compiler's size heuristics say: a call there would force
// every filter and envelope state out of registers once per sample.
#pragma once

#if defined(__GNUC__) || defined(__clang__)
#define DSP_FORCE_INLINE inline __attribute__((always_inline))
#elif defined(_MSC_VER)
#define DSP_FORCE_INLINE __forceinline
#else
#define DSP_FORCE_INLINE inline
#endif
