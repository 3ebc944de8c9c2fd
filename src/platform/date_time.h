#pragma once
// Dates and times as the user's system writes them, so every program of the system shows the
// same text for the same moment.

#include <ctime>
#include <string>

namespace velquin::platform {

// `local` in the system's short date format, "/", and its time format with seconds: on Windows
// the user's locale settings, elsewhere the LC_TIME locale of the environment (what strftime
// writes for %x and %X; the C locale when the environment names none or an unknown one).
std::string ShortDateAndTime(const std::tm& local);

// ShortDateAndTime of the present moment in the local time zone.
std::string ShortDateAndTimeNow();

}  // namespace velquin::platform
