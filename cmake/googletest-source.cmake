# GoogleTest built from source for a cross build (Debian's googletest package
# puts it in /usr/src/googletest), under the names find_package(GTest) gives.
set(PATHMEND_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source folder")
if(NOT EXISTS ${PATHMEND_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest source not found in ${PATHMEND_GOOGLETEST_SOURCE} "
                      "(Debian package googletest)")
endif()
enable_language(C)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${PATHMEND_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
if(NOT TARGET GTest::gtest)  # newer GoogleTest releases define them themselves
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
endif()
