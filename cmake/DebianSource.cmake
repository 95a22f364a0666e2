# dunerow_fetch_debian_source(PACKAGE ROOT VERSION OUT_DIR): unpacks Debian's
# source package PACKAGE (pinned to VERSION when non-empty) under ROOT the
# first time the build tree is configured, and sets OUT_DIR to its folder.
function(dunerow_fetch_debian_source package root version out_dir)
  file(GLOB source_dir LIST_DIRECTORIES true ${root}/source/*-*)
  list(FILTER source_dir EXCLUDE REGEX "\\.(tar\\.[a-z]+|dsc)$")
  if(NOT source_dir)
    message(STATUS "Fetching Debian's ${package} source package into ${root}")
    execute_process(
      COMMAND ${PROJECT_SOURCE_DIR}/cmake/fetch_debian_source.sh ${package} ${root} ${version}
      RESULT_VARIABLE fetch_result
      OUTPUT_VARIABLE fetch_output
      ERROR_VARIABLE fetch_output)
    file(GLOB source_dir LIST_DIRECTORIES true ${root}/source/*-*)
    list(FILTER source_dir EXCLUDE REGEX "\\.(tar\\.[a-z]+|dsc)$")
    if(NOT fetch_result EQUAL 0 OR NOT source_dir)
      message(FATAL_ERROR "Could not fetch Debian's ${package} source package:\n${fetch_output}")
    endif()
  endif()
  message(STATUS "${package} source: ${source_dir}")
  set(${out_dir} ${source_dir} PARENT_SCOPE)
endfunction()
