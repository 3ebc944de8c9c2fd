#include "cli/escape.h"

#include <gtest/gtest.h>

namespace velquin::cli {
namespace {

TEST(EscapeTest, ControlCharactersAndBrokenUtf8BecomeVisibleEscapes) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"plain name.exe", "plain name.exe"},
        {"two\nlines", "two\\nlines"},
        {"cr\rtab\t", "cr\\rtab\\t"},
        {"bell\x07" "esc\x1b[2J", "bell\\x07esc\\x1B[2J"},
        {"del\x7f", "del\\x7F"},
        {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"},
        {"c1 \xc2\x9b", "c1 \\xC2\\x9B"},
        {"lone \xff byte", "lone \\xFF byte"},
        {"cut \xe2\x82", "cut \\xE2\\x82"},
        {"overlong \xc0\xaf", "overlong \\xC0\\xAF"},
        {"surrogate \xed\xa0\x80", "surrogate \\xED\\xA0\\x80"},
        {"C:\\Windows\\x.exe", "C:\\Windows\\x.exe"},
    };
    for (const auto& c : cases) EXPECT_EQ(EscapeForDisplay(c.in), c.out) << c.in;
    EXPECT_TRUE(IsValidUtf8("caf\xc3\xa9"));
    EXPECT_FALSE(IsValidUtf8("lone \xff"));
}

}  // namespace
}  // namespace velquin::cli
