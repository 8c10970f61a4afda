# Runs inside CPack, after the files are installed into the staging folder and
# before each package is made. For the Debian package only, it brings the tree
# to Debian's conventions: the manual page compressed with gzip -9n, a
# copyright file and a compressed changelog in /usr/share/doc/pathmend. The
# plain install (cmake --install) and the .tar.gz keep the tree as installed.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()

set(root "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(docdir "${root}/${CPACK_PATHMEND_DOCDIR}")
set(mandir "${root}/${CPACK_PATHMEND_MANDIR}/man1")

function(compress file)
  execute_process(COMMAND gzip -9nf "${file}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip failed on ${file}")
  endif()
endfunction()

compress("${mandir}/pathmend.1")

# Debian keeps the license of a package in its copyright file.
file(READ "${CPACK_PATHMEND_SOURCE_DIR}/LICENSE" license)
file(WRITE "${docdir}/copyright"
     "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
     "Upstream-Name: pathmend\n\n"
     "Files: *\n"
     "Copyright: 2026 pathmend\n"
     "License: Expat\n")
string(REGEX REPLACE "\n\n" "\n.\n" body "${license}")
string(REGEX REPLACE "\n([^\n])" "\n \\1" body "${body}")
file(APPEND "${docdir}/copyright" " ${body}")
file(REMOVE "${docdir}/LICENSE")

string(TIMESTAMP when "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE "${docdir}/changelog"
     "pathmend (${CPACK_PACKAGE_VERSION}) unstable; urgency=medium\n\n"
     "  * Package of pathmend ${CPACK_PACKAGE_VERSION}, made by CPack.\n\n"
     " -- ${CPACK_DEBIAN_PACKAGE_MAINTAINER}  ${when}\n")
compress("${docdir}/changelog")
