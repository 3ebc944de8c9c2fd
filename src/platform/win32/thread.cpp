#include "platform/thread.h"

#include <windows.h>

namespace velquin::platform {

void LowerThisThreadsPriority() { ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL); }

// The system keeps no count of a thread's waits that is cheap to read.
std::optional<std::uint64_t> ThisThreadsWaits() { return std::nullopt; }

}  // namespace velquin::platform
