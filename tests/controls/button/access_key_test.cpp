#include "controls/button/access_key.h"

#include <gtest/gtest.h>

namespace velquin::button {
namespace {

TEST(AccessKeyTest, FirstSingleAmpersandMarksTheKey) {
  struct Case {
    const char* caption;
    std::optional<QChar> key;
  };
  const Case cases[] = {
      {"&Apply", QChar('a')},
      {"Start &Scan", QChar('s')},
      {"Fish && Chips", std::nullopt},    // one doubled pair only
      {"A && B &Close", QChar('c')},      // the pair is skipped, the next single mark counts
      {"A && B && &Close", std::nullopt}, // only the first pair is skipped
      {"&", std::nullopt},                // a single character has no key
      {"Browse&", std::nullopt},          // a mark at the end has nothing to mark
      {"A &&", std::nullopt},
      {"A &&&", std::nullopt},
      {"Plain", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AccessKeyOf(QString::fromUtf8(c.caption)), c.key) << c.caption;
  }
}

}  // namespace
}  // namespace velquin::button
