#include "draw/utf.h"

#include <gtest/gtest.h>

namespace velquin::draw {
namespace {

TEST(Utf, TextsTravelToUtf16AndBackUnchangedLoneSurrogatesIncluded) {
  const std::u16string cases[] = {
      u"", u"Start Scan", u"caf\u00E9 \u626B\u63CF", u"\U0001F600 pair",
      std::u16string{u'x', char16_t(0xD800), u'y'}, std::u16string{char16_t(0xDE00), char16_t(0xD83D)},
      std::u16string{u'z', char16_t(0xDBFF)}, std::u16string(1, u'\0'),
  };
  for (const auto& utf16 : cases) EXPECT_EQ(ToUtf16(FromUtf16(utf16)), utf16);
  EXPECT_EQ(FromUtf16(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(FromUtf16(std::u16string(1, char16_t(0xD800))), "\xED\xA0\x80");
  EXPECT_EQ(ToUtf16("\xFF" "a\xC3"), (std::u16string{0xFFFD, u'a', 0xFFFD}));
}

TEST(Utf, ValidUtf8ReplacesWhatIsNotUtf8) {
  EXPECT_EQ(ValidUtf8("plain \xC3\xA9 \xF0\x9F\x98\x80"), "plain \xC3\xA9 \xF0\x9F\x98\x80");
  // A stray continuation byte, an overlong form, a surrogate's form, a cut-off sequence.
  EXPECT_EQ(ValidUtf8("\x80|\xC0\xAF|\xED\xA0\x80|\xE6\x89"),
            "\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD|"
            "\xEF\xBF\xBD\xEF\xBF\xBD");
  std::string joined;
  AppendCodePoint(joined, 0xD83D);
  AppendCodePoint(joined, 0xDE00);
  EXPECT_EQ(joined, "\xF0\x9F\x98\x80");
}

}  // namespace
}  // namespace velquin::draw
