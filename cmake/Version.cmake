# The version lives once, in project(): the plug-in's identity reads it from
# a generated header and the packages take it from PROJECT_VERSION.
foreach(part MAJOR MINOR PATCH)
  if("${PROJECT_VERSION_${part}}" STREQUAL "")
    message(FATAL_ERROR "project() must give Dunerow a major.minor.patch version")
  endif()
endforeach()
# The host sees the version packed as major in the high 16 bits and minor and
# patch in a byte each.
if(PROJECT_VERSION_MAJOR GREATER 32767 OR PROJECT_VERSION_MINOR GREATER 99 OR PROJECT_VERSION_PATCH GREATER 99)
  message(FATAL_ERROR "Version ${PROJECT_VERSION} does not fit the plug-in's packed version")
endif()
math(EXPR DUNEROW_PACKED_VERSION
  "(${PROJECT_VERSION_MAJOR} << 16) | (${PROJECT_VERSION_MINOR} << 8) | ${PROJECT_VERSION_PATCH}"
  OUTPUT_FORMAT HEXADECIMAL)
configure_file(${CMAKE_CURRENT_LIST_DIR}/dunerow_version.h.in ${CMAKE_BINARY_DIR}/generated/dunerow_version.h @ONLY)
include_directories(${CMAKE_BINARY_DIR}/generated)
