# Building Qt for Windows x86-64 with Debian's MinGW-w64 (scripts/windows/qt), and the programs
# built against that Qt: its qt-cmake chains this file. The POSIX thread model, as for the rest
# of the Windows build. Unlike cmake/mingw-w64-x86_64.cmake, the MinGW runtime is not linked
# statically: Qt's DLLs and the program share one C++ runtime, libstdc++-6.dll, libgcc_s_seh-1.dll
# and libwinpthread-1.dll beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
