# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (package
# mingw-w64). The libraries come from CMAKE_PREFIX_PATH (the prefix
# scripts/build-windows.sh fills); programs are found on the build machine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VRILLON_MINGW x86_64-w64-mingw32)

# The POSIX thread model: GoogleTest needs std::mutex, which the win32 model
# of Debian's GCC 12 lacks.
set(CMAKE_C_COMPILER ${VRILLON_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VRILLON_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${VRILLON_MINGW}-windres)

# The libraries' prefix is a root of its own, so the paths pkg-config gives
# there are taken as they are.
set(CMAKE_FIND_ROOT_PATH /usr/${VRILLON_MINGW} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's own run-time libraries (C++, GCC's, its threads) go into
# each program, so none of their DLLs has to travel with it. The libraries'
# DLLs are still linked through their import libraries, named in full.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
