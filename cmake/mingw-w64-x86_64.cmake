# Cross-building for Windows x86-64 with Debian's MinGW-w64 (the POSIX thread model, which
# std::thread needs): the Qt-free libraries, radio-cli.exe and their tests, and radio.exe when
# the build is configured with the Qt of scripts/windows/qt (its qt-cmake, chaining this file).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
# Libraries Debian has no MinGW build of (libsodium, libjpeg-turbo): scripts/windows/libraries
# builds them into a folder of their own and scripts/windows/build names it here.
set(RADIO_WINDOWS_LIBRARIES "" CACHE PATH "Where scripts/windows/libraries installed the libraries")
if(RADIO_WINDOWS_LIBRARIES)
  list(APPEND CMAKE_FIND_ROOT_PATH "${RADIO_WINDOWS_LIBRARIES}")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The tests run under Wine (ctest starts each through it).
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
