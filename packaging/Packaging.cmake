# Installation and packages.
#
# Linux: `cmake --install` puts the program in bin/, the manual page in
# share/man/man1/ and README and LICENSE in share/doc/pathmend/; CPack makes
# a Debian package (pathmend_VERSION_amd64.deb, dependencies computed by
# dpkg-shlibdeps) and a .tar.gz of the same tree.
# Windows (a MinGW cross build, WIN32 set by its toolchain file): the program,
# README and LICENSE side by side, packed by CPack into a .zip.
include(GNUInstallDirs)

set(PATHMEND_MANUAL ${PROJECT_SOURCE_DIR}/docs/pathmend.1)

if(WIN32)
  # The zip holds pathmend.exe alone, with no MinGW run-time DLLs beside it:
  # the C++ and threading run-times are linked into the executable.
  if(MINGW)
    target_link_options(pathmend PRIVATE -static)
  endif()
  install(TARGETS pathmend RUNTIME DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
else()
  install(TARGETS pathmend RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PATHMEND_MANUAL} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
          DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

set(CPACK_PACKAGE_NAME pathmend)
set(CPACK_PACKAGE_VENDOR pathmend)
set(CPACK_PACKAGE_CONTACT "pathmend maintainers <maintainers@pathmend.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "repair, join, cut and export Vantira track logs")
set(CPACK_PACKAGE_DESCRIPTION
    "pathmend reads the binary track logs (.trk) that the Vantira navigation\n\
product records, and joins, cuts, renames and repairs them into a new track\n\
log, or exports them as KML, GPX, GPS TrackMaker text or an SVG picture.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_IGNORE_FILES "/build/" "/\\\\.git/")

if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(PATHMEND_WINDOWS_ARCH win64)
  else()
    set(PATHMEND_WINDOWS_ARCH win32)
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "pathmend-${PROJECT_VERSION}-${PATHMEND_WINDOWS_ARCH}")
else()
  set(CPACK_GENERATOR DEB TGZ)
  set(CPACK_PACKAGE_FILE_NAME "pathmend-${PROJECT_VERSION}-Linux-${CMAKE_SYSTEM_PROCESSOR}")
  # Debian: pathmend_VERSION_ARCH.deb, dependencies from the binary's
  # libraries (dpkg-shlibdeps), and what Debian's policy asks of /usr/share/doc
  # and the manual pages (added by the script below, in the package only).
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
  set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/debian_layout.cmake)
  set(CPACK_PATHMEND_DOCDIR ${CMAKE_INSTALL_DOCDIR})
  set(CPACK_PATHMEND_MANDIR ${CMAKE_INSTALL_MANDIR})
  set(CPACK_PATHMEND_SOURCE_DIR ${PROJECT_SOURCE_DIR})
endif()

include(CPack)
