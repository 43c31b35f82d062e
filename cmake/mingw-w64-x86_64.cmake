# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (package
# mingw-w64). The libraries come from CMAKE_PREFIX_PATH (the prefix
# scripts/build-windows.sh fills); programs are found on the build machine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VRILLON_MINGW x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${VRILLON_MINGW}-gcc)
set(CMAKE_CXX_COMPILER ${VRILLON_MINGW}-g++)
set(CMAKE_RC_COMPILER ${VRILLON_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VRILLON_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's own run-time libraries go into each program, so none of
# their DLLs has to travel with it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

# Test programs are run with wine where it is there.
find_program(VRILLON_WINE wine)
if(VRILLON_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VRILLON_WINE})
endif()
