# Cross-compiles for Windows x86-64 with Debian's mingw-w64 compilers. The
# -posix variants use the POSIX thread model, which std::mutex needs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DUNEROW_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${DUNEROW_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DUNEROW_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${DUNEROW_MINGW_TRIPLE}-windres)

# Headers and libraries come from the target's tree only; build tools from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${DUNEROW_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program and module carries its own C and C++ run-time and the
# threading library, so they need no DLL beyond the system's.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Only static archives: an import library would make a module depend on its DLL.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)

# The static run-time libraries carry debug information; a release module sheds it.
set(CMAKE_MODULE_LINKER_FLAGS_RELEASE_INIT "-s")
set(CMAKE_SHARED_LINKER_FLAGS_RELEASE_INIT "-s")
