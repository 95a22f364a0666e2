# libpng as the static library `dunerow_png` for a target Debian ships no
# libpng for (mingw-w64). Debian's own source package is fetched into the
# build tree the first time the tree is configured, and built here.
# The DLL must not need a zlib1.dll beside it: link zlib statically.
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)

set(DUNEROW_PNG_ROOT ${CMAKE_BINARY_DIR}/_deps/libpng)
include(${PROJECT_SOURCE_DIR}/cmake/DebianSource.cmake)
dunerow_fetch_debian_source(libpng1.6 ${DUNEROW_PNG_ROOT} "" DUNEROW_PNG_SOURCE_DIR)

# The build configuration libpng ships for builds without its own scripts.
configure_file(${DUNEROW_PNG_SOURCE_DIR}/scripts/pnglibconf.h.prebuilt
               ${DUNEROW_PNG_ROOT}/include/pnglibconf.h COPYONLY)

set(png_sources png.c pngerror.c pngget.c pngmem.c pngpread.c pngread.c pngrio.c pngrtran.c
                pngrutil.c pngset.c pngtrans.c pngwio.c pngwrite.c pngwtran.c pngwutil.c)
list(TRANSFORM png_sources PREPEND ${DUNEROW_PNG_SOURCE_DIR}/)
add_library(dunerow_png STATIC ${png_sources})
target_include_directories(dunerow_png SYSTEM PUBLIC ${DUNEROW_PNG_SOURCE_DIR} ${DUNEROW_PNG_ROOT}/include)
target_link_libraries(dunerow_png PUBLIC ZLIB::ZLIB)
# Third-party C code: built as its authors ship it, without our warning set.
set_target_properties(dunerow_png PROPERTIES C_STANDARD 99 POSITION_INDEPENDENT_CODE OFF)
