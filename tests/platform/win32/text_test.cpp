#include "platform/win32/text.h"

#include <gtest/gtest.h>

namespace velquin::platform::win32 {
namespace {

TEST(WindowsTextTest, NamesSurviveTheTripThroughUtf8) {
    const std::wstring names[] = {
        L"plain.exe",
        L"caf\u00e9 \u65e5\u672c.txt",
        L"emoji-\U0001F600.bin",           // a surrogate pair
        std::wstring(L"lone-") + wchar_t(0xD800) + L".exe",  // valid in a Windows name, not in UTF-16
        std::wstring(L"low-") + wchar_t(0xDC01),
    };
    for (const std::wstring& name : names) EXPECT_EQ(Widen(Narrow(name)), name);
    EXPECT_EQ(Narrow(L"caf\u00e9"), "caf\xc3\xa9");
    EXPECT_EQ(Narrow(L"\U0001F600"), "\xf0\x9f\x98\x80");
}

TEST(WindowsTextTest, BrokenUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(Widen("a\xff" "b"), L"a\ufffd" L"b");
    EXPECT_EQ(Widen("\xc0\xaf"), L"\ufffd\ufffd");  // overlong "/" is not a separator
    EXPECT_EQ(Widen("\xe6\x97"), L"\ufffd\ufffd");  // cut short
}

TEST(WindowsTextTest, ExtendedPaths) {
    const struct {
        const char* path;
        const wchar_t* expected;
    } cases[] = {
        {"C:\\Windows\\", L"\\\\?\\C:\\Windows\\"},
        {"c:/Users//me/", L"\\\\?\\c:\\Users\\me\\"},
        {"C:\\a\\..\\b", L"\\\\?\\C:\\b"},
        {"C:\\a\\name. ", L"\\\\?\\C:\\a\\name. "},  // trailing dot and space kept
        {"\\\\server\\share\\x", L"\\\\?\\UNC\\server\\share\\x"},
        {"\\\\?\\C:\\as\\is\\..", L"\\\\?\\C:\\as\\is\\.."},
    };
    for (const auto& c : cases) EXPECT_EQ(ExtendedPath(c.path), c.expected) << c.path;
    const std::wstring relative = ExtendedPath("relative\\x");
    EXPECT_TRUE(relative.starts_with(L"\\\\?\\")) << Narrow(relative);
    EXPECT_TRUE(relative.ends_with(L"\\relative\\x")) << Narrow(relative);
    EXPECT_EQ(WithoutExtendedPrefix(L"\\\\?\\UNC\\server\\share"), L"\\\\server\\share");
    EXPECT_EQ(WithoutExtendedPrefix(L"\\\\?\\C:\\x"), L"C:\\x");
}

}  // namespace
}  // namespace velquin::platform::win32
