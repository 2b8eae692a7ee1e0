# Shared part of the two MinGW-w64 toolchain files. The including file sets
# MINGW_TRIPLET (i686-w64-mingw32 or x86_64-w64-mingw32) and MINGW_WINE_ARCH
# (win32 or win64) first.
#
# The compilers are Debian's "-win32" variants: Windows threads underneath, so
# a DLL needs no winpthread library beside it (and std::thread/std::mutex are
# not available; Windows code uses the Win32 API directly).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${MINGW_PROCESSOR})

set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-win32)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes go inside each binary: the plug-in DLL imports only
# KERNEL32 and msvcrt, and the test programs run under Wine without any
# MinGW DLL on the path.
# No link time in the headers either: the same sources give the same bytes.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")

# CTest runs the Windows programs under Wine, in a private prefix per width.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run;${MINGW_WINE_ARCH}")
