# Runs inside CPack, after the files are installed into the staging folder and
# before each package is made. For the Debian package only, it brings the tree
# to Debian's conventions: manual pages compressed with gzip -9n, a copyright
# file and a compressed changelog in /usr/share/doc/pathmend. The plain
# install (cmake --install) and the .tar.gz keep the tree as installed.
message(STATUS "gen=${CPACK_GENERATOR} tmp=${CPACK_TEMPORARY_INSTALL_DIRECTORY} top=${CPACK_TOPLEVEL_DIRECTORY} pref=${CPACK_PACKAGING_INSTALL_PREFIX} dir=${CPACK_TEMPORARY_DIRECTORY}")
