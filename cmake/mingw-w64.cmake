# Cross build for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# The posix flavour of the compiler is the one whose libstdc++ has std::thread and the rest of
# the C++20 library; with -static its threads library goes into the program, not beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(GS_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${GS_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GS_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${GS_MINGW}-windres)

# Libraries and headers come from the mingw-w64 tree alone, never from the build machine's.
set(CMAKE_FIND_ROOT_PATH /usr/${GS_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
