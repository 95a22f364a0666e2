# The Debian package's control data and the files Debian policy asks for
# beside the program (copyright, changelog). Depends is computed by
# dpkg-shlibdeps from the libraries the module and the renderer link.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The editor draws "Arial" in Liberation Sans; its file dialogs run zenity or kdialog.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-liberation2)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "zenity | kdialog")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# CPack puts the summary first and indents these lines; an empty line
# separates paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Dunerow plays kicks, bass drums and basses from three oscillators with
pitch envelopes, filters and an effects chain, with 128 factory programs.

The VST2 module is installed into /usr/lib/vst, where Linux VST2 hosts such
as Ardour look for plug-ins. dunerow-render plays
notes or MIDI files through the instrument into WAV or FLAC files.")

if(CPACK_DEBIAN_PACKAGE_ARCHITECTURE STREQUAL "amd64" AND NOT CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  message(WARNING "The Debian package is declared amd64, but the build is for ${CMAKE_SYSTEM_PROCESSOR}")
endif()

# /usr/share/doc/dunerow: the copyright file and the changelog, compressed
# without a time stamp.
set(doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/${CPACK_PACKAGE_NAME})
# The changelog entry takes the version and the release date when configured
# (string(TIMESTAMP) honours SOURCE_DATE_EPOCH for a reproducible package).
string(TIMESTAMP DUNEROW_RELEASE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/changelog.in ${CMAKE_BINARY_DIR}/changelog @ONLY)
execute_process(COMMAND gzip -9 -n -c ${CMAKE_BINARY_DIR}/changelog
                OUTPUT_FILE ${CMAKE_BINARY_DIR}/changelog.gz RESULT_VARIABLE gzip_result)
if(NOT gzip_result EQUAL 0)
  message(FATAL_ERROR "gzip could not compress the changelog")
endif()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${doc_dir})
