#include "controls/button/access_key.h"

#include <utility>

#include <gtest/gtest.h>

namespace velquin::button {
namespace {

TEST(AccessKeyTest, FirstSingleAmpersandMarksTheKey) {
  struct Case {
    const char* caption;
    std::optional<char32_t> key;
  };
  const Case cases[] = {
      {"&Apply", U'a'},
      {"Start &Scan", U's'},
      {"Fish && Chips", std::nullopt},     // one doubled pair only
      {"A && B &Close", U'c'},             // the pair is skipped, the next single mark counts
      {"A && B && &Close", std::nullopt},  // only the first pair is skipped
      {"&", std::nullopt},                 // a single character has no key
      {"Browse&", std::nullopt},           // a mark at the end has nothing to mark
      {"A &&", std::nullopt},
      {"A &&&", std::nullopt},
      {"Plain", std::nullopt},
      {"", std::nullopt},
      {"\xC3\x9C&\xC3\x9C" "ber", U'\u00FC'},  // characters, not bytes, and lower case beyond ASCII
      {"&\xD0\x96", U'\u0436'},                 // two bytes, one character: a key
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AccessKeyOf(c.caption), c.key) << c.caption;
  }
}

TEST(AccessKeyTest, LowerCaseOfLatinGreekAndCyrillicLetters) {
  const std::pair<char32_t, char32_t> cases[] = {
      {U'A', U'a'},           {U'z', U'z'},           {U'1', U'1'},
      {U'\u00C0', U'\u00E0'}, {U'\u00D7', U'\u00D7'}, {U'\u0100', U'\u0101'},
      {U'\u0139', U'\u013A'}, {U'\u0178', U'\u00FF'}, {U'\u0130', U'i'},
      {U'\u0391', U'\u03B1'}, {U'\u0386', U'\u03AC'}, {U'\u0410', U'\u0430'},
      {U'\u0401', U'\u0451'}, {U'\u4E2D', U'\u4E2D'},
  };
  for (const auto& [upper, lower] : cases) EXPECT_EQ(LowerCase(upper), lower) << int(upper);
}

}  // namespace
}  // namespace velquin::button
