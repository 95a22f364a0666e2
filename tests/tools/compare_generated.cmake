# Runs a data generator into a scratch folder and fails unless every file
# it writes is byte-identical to the committed one.
file(REMOVE_RECURSE "${OUTPUT_DIR}")
file(MAKE_DIRECTORY "${OUTPUT_DIR}")
execute_process(COMMAND "${GENERATOR}" "${OUTPUT_DIR}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${GENERATOR} failed: ${result}")
endif()
foreach(name IN LISTS FILES)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${OUTPUT_DIR}/${name}" "${COMMITTED_DIR}/${name}"
                  RESULT_VARIABLE different)
  if(NOT different EQUAL 0)
    message(FATAL_ERROR "${name} differs from what ${GENERATOR} writes; regenerate it and commit the result")
  endif()
endforeach()
