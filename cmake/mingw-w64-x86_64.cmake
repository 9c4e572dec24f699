# Cross-builds configgen.exe for 64-bit Windows on Debian with MinGW-w64 (the windows preset:
#   CONFIGGEN_WINDOWS_QT=/path/to/qt5-mingw cmake --preset windows).
# The posix thread model's compilers: the win32 model lacks std::thread in gcc 12, and Qt for
# Windows is built with them too, so both link the same runtime DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Libraries, headers and packages come only from the MinGW sysroot and the Windows Qt named by
# CMAKE_PREFIX_PATH, never from this machine's own Qt; programs run on this machine (the Windows
# Qt brings moc, rcc and uic built for Linux).
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# What is built here runs on this machine under Wine: the unit tests do (ctest -L unit).
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
