# Dependencies of a cross build. Debian ships them for the build machine only, so:
# - the header-only libraries (CLI11, nlohmann/json, stb) are taken from the build machine's headers,
#   through a folder that holds nothing else, so no header of the build machine's C library can
#   shadow the target's;
# - GoogleTest is built from the source that Debian's googletest package ships. It names its
#   targets GTest::gtest and so on, as find_package does.
set(cross_include ${CMAKE_BINARY_DIR}/cross/include)
set(cross_packages ${CMAKE_BINARY_DIR}/cross/packages)
file(MAKE_DIRECTORY ${cross_include})

function(velquin_cross_header_library package target)
  cmake_parse_arguments(ARG "" "" "FOLDERS" ${ARGN})
  foreach(folder ${ARG_FOLDERS})
    if(NOT EXISTS /usr/include/${folder})
      message(FATAL_ERROR "${package}: /usr/include/${folder} not found (install its Debian package)")
    endif()
    file(CREATE_LINK /usr/include/${folder} ${cross_include}/${folder} SYMBOLIC)
  endforeach()
  file(WRITE ${cross_packages}/${package}/${package}Config.cmake
       "if(NOT TARGET ${target})\n"
       "  add_library(${target} INTERFACE IMPORTED)\n"
       "  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${cross_include})\n"
       "endif()\n")
  set(${package}_DIR ${cross_packages}/${package} CACHE PATH "" FORCE)
endfunction()

velquin_cross_header_library(CLI11 CLI11::CLI11 FOLDERS CLI)
velquin_cross_header_library(nlohmann_json nlohmann_json::nlohmann_json FOLDERS nlohmann)
velquin_cross_header_library(stb stb::stb FOLDERS stb)

if(VELQUIN_TESTS)
  set(VELQUIN_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")
  if(NOT EXISTS ${VELQUIN_GTEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest source not found in ${VELQUIN_GTEST_SOURCE} (install googletest)")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)  # GoogleTest uses Windows threads natively
  add_subdirectory(${VELQUIN_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()
