# What the Windows build adds: the resource compiler, libpng built from
# Debian's source package against the target's static zlib, and Wine to run
# the cross-built test programs.
enable_language(C)
enable_language(RC)

# Test programs run under Wine, in a prefix of their own inside the build tree.
set(DUNEROW_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/cmake/run_under_wine.sh ${DUNEROW_WINE_PREFIX})

include(cmake/DebianLibpng.cmake)
