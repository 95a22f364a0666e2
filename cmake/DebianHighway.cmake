# Google Highway as the static library `dunerow_hwy`, built from Debian's
# source package (fetched into the build tree on the first configure), so
# that neither module needs a libhwy beside it. Only the run-time target
# dispatch is compiled; the vector operations and math are headers.
include(${PROJECT_SOURCE_DIR}/cmake/DebianSource.cmake)
set(DUNEROW_HWY_ROOT ${CMAKE_BINARY_DIR}/_deps/highway)
dunerow_fetch_debian_source(highway ${DUNEROW_HWY_ROOT} "" DUNEROW_HWY_SOURCE_DIR)

add_library(dunerow_hwy STATIC
  ${DUNEROW_HWY_SOURCE_DIR}/hwy/aligned_allocator.cc
  ${DUNEROW_HWY_SOURCE_DIR}/hwy/per_target.cc
  ${DUNEROW_HWY_SOURCE_DIR}/hwy/print.cc
  ${DUNEROW_HWY_SOURCE_DIR}/hwy/targets.cc)
target_compile_definitions(dunerow_hwy PUBLIC HWY_STATIC_DEFINE)
target_include_directories(dunerow_hwy SYSTEM PUBLIC ${DUNEROW_HWY_SOURCE_DIR})
# Third-party code: built as its authors ship it, without our warning set.
set_target_properties(dunerow_hwy PROPERTIES POSITION_INDEPENDENT_CODE ON)

# GCC for Windows does not align the stack for 32- and 64-byte vectors, so a
# spilled AVX register would fault on an aligned move: make those unaligned.
if(MINGW)
  add_compile_options(-Wa,-muse-unaligned-vector-move)
endif()
