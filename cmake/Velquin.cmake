# velquin_test(NAME SOURCES src... LIBS lib... [GUI])
# One GoogleTest executable; every test case becomes a ctest entry. GUI tests run on Qt's
# offscreen platform so no display is needed.
function(velquin_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  set(env "VELQUIN_TEST_BIN=${CMAKE_BINARY_DIR}/bin")
  if(ARG_GUI)
    list(APPEND env "QT_QPA_PLATFORM=offscreen" "QT_QPA_FONTDIR=/usr/share/fonts/truetype/dejavu")
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "${env}" TIMEOUT 300)
endfunction()
