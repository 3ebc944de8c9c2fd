# GoogleTest for a cross build: Debian ships its source (package googletest) but no libraries for
# the target, so it is built here as part of the project; it names its targets GTest::gtest and so on, as
# find_package does.
set(VELQUIN_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")
if(NOT EXISTS ${VELQUIN_GTEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest source not found in ${VELQUIN_GTEST_SOURCE} (install googletest)")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)  # GoogleTest uses Windows threads natively
add_subdirectory(${VELQUIN_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
