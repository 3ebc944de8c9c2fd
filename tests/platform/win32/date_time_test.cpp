#include "platform/date_time.h"

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

namespace velquin::platform {
namespace {

// 2026-12-10 21:37:16, a Thursday.
std::tm Moment() {
    std::tm moment{};
    moment.tm_year = 2026 - 1900;
    moment.tm_mon = 11;
    moment.tm_mday = 10;
    moment.tm_wday = 4;
    moment.tm_yday = 343;
    moment.tm_hour = 21;
    moment.tm_min = 37;
    moment.tm_sec = 16;
    return moment;
}

TEST(ShortDateAndTimeTest, IsTheUsersShortDateAndTime) {
    const std::string text = ShortDateAndTime(Moment());
    wchar_t locale[LOCALE_NAME_MAX_LENGTH] = {};
    ::GetUserDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH);
    if (std::wstring(locale) == L"en-US") {
        EXPECT_EQ(text, "12/10/2026/9:37:16 PM");
    } else {
        // Whatever the user's formats: the day, the month, the year, then the time with seconds.
        const std::size_t time = text.find("37");
        ASSERT_NE(time, std::string::npos) << text;
        EXPECT_NE(text.find("10"), std::string::npos) << text;
        EXPECT_NE(text.find("12"), std::string::npos) << text;
        EXPECT_NE(text.find("26"), std::string::npos) << text;
        EXPECT_NE(text.find("16", time), std::string::npos) << text;
    }
}

}  // namespace
}  // namespace velquin::platform
