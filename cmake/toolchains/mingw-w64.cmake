# Cross build for Windows with Debian's mingw-w64 (POSIX threads). The programs are 32-bit:
# one exe then runs on 32- and 64-bit Windows alike, from Windows 7 SP1 on.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Static runtime: the test executables then run under Wine without copying MinGW DLLs around.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
find_program(LIRAT_WINE NAMES wine wine-stable REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${LIRAT_WINE})
