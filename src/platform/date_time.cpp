#include "platform/date_time.h"

#include "platform/console.h"

namespace velquin::platform {

std::string ShortDateAndTimeNow() { return ShortDateAndTime(LocalTime(std::time(nullptr))); }

}  // namespace velquin::platform
