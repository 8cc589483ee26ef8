# Cross build for Windows with Debian's mingw-w64 (POSIX threads). The programs are 32-bit:
# one exe then runs on 32- and 64-bit Windows alike, from Windows 7 SP1 on.
# LIRAT_WINDOWS_ARCH=x86_64 builds the same code 64-bit (preset mingw64): it is what runs the
# Windows tests on a machine that runs no 32-bit user code at all, where no 32-bit program can
# start under Wine.
if(NOT LIRAT_WINDOWS_ARCH)
    set(LIRAT_WINDOWS_ARCH i686)
endif()
if(NOT LIRAT_WINDOWS_ARCH MATCHES "^(i686|x86_64)$")
    message(FATAL_ERROR "LIRAT_WINDOWS_ARCH must be i686 or x86_64, not '${LIRAT_WINDOWS_ARCH}'")
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${LIRAT_WINDOWS_ARCH})
set(CMAKE_C_COMPILER ${LIRAT_WINDOWS_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${LIRAT_WINDOWS_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${LIRAT_WINDOWS_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${LIRAT_WINDOWS_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Static runtime: the test executables then run under Wine without copying MinGW DLLs around.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Wine with the loader of the program's architecture; a 32-bit program on a machine that cannot
# run one is a skipped test (exit code 77).
set(LIRAT_WINE ${CMAKE_CURRENT_LIST_DIR}/../../scripts/wine-run)
cmake_path(NORMAL_PATH LIRAT_WINE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${LIRAT_WINE})
