// The form-data files of tests/draw/data, written before the property bag left its toolkit; a
// test program that reads them is built with VELQUIN_DRAW_TEST_DATA naming that folder.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

namespace velquin::testing {

// The bytes of fixture `name`; empty when it cannot be read.
inline std::string FormDataFixture(const char* name) {
  std::ifstream in(std::string(VELQUIN_DRAW_TEST_DATA) + "/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace velquin::testing
