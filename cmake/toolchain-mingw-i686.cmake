# 32-bit Windows (i686) with Debian's MinGW-w64 compilers.
set(MINGW_TRIPLET i686-w64-mingw32)
set(MINGW_PROCESSOR x86)
set(MINGW_WINE_ARCH win32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)

# SSE arithmetic instead of the x87 unit, so single-precision results round as
# in the 64-bit builds (the DLL therefore needs an SSE2 processor).
# A host built with another compiler may call the entry functions with a stack
# aligned to 4 bytes only, the Windows ABI's guarantee; GCC otherwise assumes
# 16 and would fault on an aligned SSE spill, so it realigns where it must.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mincoming-stack-boundary=2")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mincoming-stack-boundary=2")
