# cmake --install: the VST2 module where Linux hosts look for it, the
# renderer in bin with its manual page. The Windows build installs the layout
# of its zip: Dunerow.dll, a waveforms folder with its read-me, the licence.
include(GNUInstallDirs)

if(WIN32)
  install(TARGETS Dunerow LIBRARY DESTINATION . RUNTIME DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/windows/waveforms-README.txt DESTINATION waveforms RENAME README.txt)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/LICENSE.txt DESTINATION .)
  return()
endif()

set(DUNEROW_VST_DIR "" CACHE STRING
  "Folder for the VST2 module; empty: \$HOME/.vst when the install prefix is inside the home folder, else /usr/lib/vst. A relative path is taken under the install prefix")

# The folder is chosen when installing, so `--prefix` and the installing
# user's home decide it; DUNEROW_VST_DIR in the environment overrides both.
find_program(DUNEROW_STRIP NAMES strip)
install(CODE "
  set(dunerow_module \"$<TARGET_FILE:Dunerow>\")
  set(dunerow_vst_dir \"${DUNEROW_VST_DIR}\")
  set(dunerow_strip \"${DUNEROW_STRIP}\")
")
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/InstallModule.cmake)

if(TARGET dunerow-render)
  install(TARGETS dunerow-render RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # Debian wants manual pages compressed without a time stamp (gzip -n).
  set(dunerow_man_page ${PROJECT_SOURCE_DIR}/docs/dunerow-render.1)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${dunerow_man_page})
  execute_process(COMMAND gzip -9 -n -c ${dunerow_man_page}
                  OUTPUT_FILE ${CMAKE_BINARY_DIR}/dunerow-render.1.gz
                  RESULT_VARIABLE gzip_result)
  if(NOT gzip_result EQUAL 0)
    message(FATAL_ERROR "gzip could not compress ${dunerow_man_page}")
  endif()
  install(FILES ${CMAKE_BINARY_DIR}/dunerow-render.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
