#include "platform/thread.h"

#include <windows.h>

namespace velquin::platform {

void LowerThisThreadsPriority() { ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL); }

}  // namespace velquin::platform
