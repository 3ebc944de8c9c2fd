# velquin_test(NAME SOURCES src... LIBS lib... [GUI])
# One GoogleTest executable; every test case becomes a ctest entry. GUI tests run on Qt's
# offscreen platform (tests/support/offscreen_platform.cpp) so no display is needed.
function(velquin_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)  # "support/..." helpers
  if(ARG_GUI)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/offscreen_platform.cpp)
  endif()
  # One variable only: gtest_discover_tests cannot pass a list of environment entries.
  # A cross build lists its tests when ctest runs them (through the emulator), not after linking:
  # building then needs no emulator, and a target that cannot run on this host still builds.
  if(CMAKE_CROSSCOMPILING)
    set(discovery PRE_TEST)
  else()
    set(discovery POST_BUILD)
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 DISCOVERY_MODE ${discovery}
                       PROPERTIES ENVIRONMENT "VELQUIN_TEST_BIN=${CMAKE_BINARY_DIR}/bin" TIMEOUT 300)
endfunction()

# velquin_toolkit_free(TARGET WHERE)
# Stops the configuration when TARGET links a Qt library itself: a toolkit belongs to WHERE (the
# target's platform body or its hosts), never to the neutral library.
function(velquin_toolkit_free target where)
  get_target_property(libraries ${target} LINK_LIBRARIES)
  foreach(library ${libraries})
    if(library MATCHES "^Qt[0-9]*::")
      message(FATAL_ERROR "${target} links ${library}: toolkits belong to ${where}")
    endif()
  endforeach()
endfunction()
