#include "platform/date_time.h"

#include <windows.h>

#include "platform/win32/text.h"

namespace velquin::platform {

namespace {

using Formatter = int(WINAPI*)(LCID, DWORD, const SYSTEMTIME*, LPCWSTR, LPWSTR, int);

std::string Format(Formatter format, DWORD flags, const SYSTEMTIME& when) {
    const int length = format(LOCALE_USER_DEFAULT, flags, &when, nullptr, nullptr, 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    const int written = format(LOCALE_USER_DEFAULT, flags, &when, nullptr, text.data(), length);
    text.resize(written > 0 ? static_cast<std::size_t>(written - 1) : 0);  // without the NUL
    return win32::Narrow(text);
}

}  // namespace

std::string ShortDateAndTime(const std::tm& local) {
    SYSTEMTIME when{};
    when.wYear = static_cast<WORD>(local.tm_year + 1900);
    when.wMonth = static_cast<WORD>(local.tm_mon + 1);
    when.wDayOfWeek = static_cast<WORD>(local.tm_wday);
    when.wDay = static_cast<WORD>(local.tm_mday);
    when.wHour = static_cast<WORD>(local.tm_hour);
    when.wMinute = static_cast<WORD>(local.tm_min);
    when.wSecond = static_cast<WORD>(local.tm_sec);
    // The user's short date and the user's time format, which shows seconds unless the user
    // chose a format without them.
    return Format(::GetDateFormatW, DATE_SHORTDATE, when) + "/" + Format(::GetTimeFormatW, 0, when);
}

}  // namespace velquin::platform
