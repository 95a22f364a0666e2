# CPack: the Debian package on Linux (dunerow_<version>_amd64.deb) and the
# zip on Windows (Dunerow-<version>-win64.zip). scripts/package.sh builds both.
set(CPACK_PACKAGE_NAME dunerow)
set(CPACK_PACKAGE_VENDOR Korvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "synthesizer for bass drums, kicks and basses (VST2 instrument)")
set(CPACK_PACKAGE_CONTACT "Korvane <dunerow@korvane.invalid>")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/packaging/LICENSE.txt)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_STRIP_FILES ON)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/CPackProjectConfig.cmake)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME Dunerow-${PROJECT_VERSION}-win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  include(${CMAKE_CURRENT_LIST_DIR}/DebianPackage.cmake)
endif()

include(CPack)
