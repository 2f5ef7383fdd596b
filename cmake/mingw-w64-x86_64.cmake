# Cross-building for Windows x86-64 on Debian with mingw-w64 (posix threads,
# so std::thread and std::mutex work). The programs are linked statically:
# a copy beside the vendor's DLLs must run on a PC without the compiler's
# run-time DLLs (without them a program exits 53 under wine, silently), and
# stripped: mingw debug information is of no use to Windows tools anyway.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Only the cross compiler's own tree is searched: a Linux header or library
# from /usr must never end up in a Windows program.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Windows 7 is the oldest API the code asks for.
set(CMAKE_C_FLAGS_INIT "-D_WIN32_WINNT=0x0601")
set(CMAKE_CXX_FLAGS_INIT "-D_WIN32_WINNT=0x0601")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -s")

# Tests (and GoogleTest's discovery of them) run the programs under wine, in
# a prefix of the build's own so the user's ~/.wine is never touched.
set(CMAKE_CROSSCOMPILING_EMULATOR
    env "WINEPREFIX=${CMAKE_BINARY_DIR}/wine" WINEDEBUG=-all wine)
