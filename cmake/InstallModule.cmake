# Run by cmake --install (cmake/Install.cmake sets dunerow_module,
# dunerow_vst_dir and dunerow_strip): puts Dunerow.so into the folder VST2
# hosts scan. file(INSTALL) removes an existing copy before writing the new
# one, so a host that still has the old module loaded keeps its own copy.
if(NOT "$ENV{DUNEROW_VST_DIR}" STREQUAL "")
  set(folder "$ENV{DUNEROW_VST_DIR}")
elseif(NOT dunerow_vst_dir STREQUAL "")
  set(folder "${dunerow_vst_dir}")
else()
  set(home "$ENV{HOME}")
  set(inside_home FALSE)
  if(NOT home STREQUAL "" AND NOT home STREQUAL "/")
    cmake_path(IS_PREFIX home "${CMAKE_INSTALL_PREFIX}" NORMALIZE inside_home)
  endif()
  if(inside_home)
    set(folder "${home}/.vst")
  else()
    set(folder "/usr/lib/vst")
  endif()
endif()
if(NOT IS_ABSOLUTE "${folder}")
  set(folder "${CMAKE_INSTALL_PREFIX}/${folder}")
endif()

file(INSTALL DESTINATION "${folder}" TYPE FILE
     PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
     FILES "${dunerow_module}")
if(CMAKE_INSTALL_DO_STRIP AND dunerow_strip)
  execute_process(COMMAND "${dunerow_strip}" --strip-unneeded "$ENV{DESTDIR}${folder}/Dunerow.so"
                  COMMAND_ERROR_IS_FATAL ANY)
endif()
