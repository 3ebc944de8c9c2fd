#include "platform/date_time.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <array>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#ifndef _WIN32
#include "../engine/test_tree.h"
#endif

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

#ifdef _WIN32
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

#else
// Sets the locale variables for one case and puts them back afterwards.
class LocaleEnvironment {
public:
    LocaleEnvironment() {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            saved_.emplace_back(value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    ~LocaleEnvironment() {
        for (std::size_t i = 0; i < kNames.size(); ++i) Set(kNames[i], saved_[i] ? saved_[i]->c_str() : nullptr);
    }
    static void Set(const char* name, const char* value) {
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }

private:
    static constexpr std::array<const char*, 4> kNames = {"LC_ALL", "LC_TIME", "LANG", "LOCPATH"};
    std::vector<std::optional<std::string>> saved_;
};

TEST(ShortDateAndTimeTest, IsTheEnvironmentsTimeLocaleShortDateAndTime) {
    // Locales of the system's own sources, compiled for this test only (none is installed).
    testing::TestTree tree;
    const std::string compiled = tree.Folder("locales");
    for (const char* name : {"en_GB", "de_DE"}) {
        const std::string command =
            "localedef -i " + std::string(name) + " -f UTF-8 " + compiled + "/" + name + ".UTF-8 >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command << " (the locales package)";
    }
    struct Case {
        const char* lcAll;
        const char* lcTime;
        const char* lang;
        const char* expected;
    };
    const Case cases[] = {
        {"C", nullptr, nullptr, "12/10/26/21:37:16"},
        {"POSIX", nullptr, nullptr, "12/10/26/21:37:16"},
        {nullptr, nullptr, nullptr, "12/10/26/21:37:16"},
        {nullptr, nullptr, "no_SUCH.locale", "12/10/26/21:37:16"},  // unknown: the C locale
        {nullptr, nullptr, "en_GB.UTF-8", "10/12/26/21:37:16"},
        {nullptr, "de_DE.UTF-8", "en_GB.UTF-8", "10.12.2026/21:37:16"},  // LC_TIME before LANG
        {"en_GB.UTF-8", "de_DE.UTF-8", nullptr, "10/12/26/21:37:16"},    // LC_ALL before both
    };
    for (const Case& c : cases) {
        LocaleEnvironment environment;
        LocaleEnvironment::Set("LOCPATH", compiled.c_str());
        LocaleEnvironment::Set("LC_ALL", c.lcAll);
        LocaleEnvironment::Set("LC_TIME", c.lcTime);
        LocaleEnvironment::Set("LANG", c.lang);
        EXPECT_EQ(ShortDateAndTime(Moment()), c.expected)
            << "LC_ALL=" << (c.lcAll ? c.lcAll : "") << " LC_TIME=" << (c.lcTime ? c.lcTime : "")
            << " LANG=" << (c.lang ? c.lang : "");
    }
}

#endif

}  // namespace
}  // namespace velquin::platform
