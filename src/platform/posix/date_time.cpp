#include "platform/date_time.h"

#include <locale.h>
#include <time.h>

namespace velquin::platform {

namespace {

std::string Format(const char* format, const std::tm& local, locale_t locale) {
    char text[128];
    const std::size_t length = locale ? strftime_l(text, sizeof text, format, &local, locale)
                                      : strftime(text, sizeof text, format, &local);
    return std::string(text, length);
}

}  // namespace

std::string ShortDateAndTime(const std::tm& local) {
    // The environment's locale, read here rather than taken from setlocale: the text must not
    // depend on whether the calling program has set its own locale.
    locale_t locale = newlocale(LC_TIME_MASK, "", locale_t{});
    if (!locale) locale = newlocale(LC_TIME_MASK, "C", locale_t{});
    std::string text = Format("%x", local, locale) + "/" + Format("%X", local, locale);
    if (locale) freelocale(locale);
    return text;
}

}  // namespace velquin::platform
