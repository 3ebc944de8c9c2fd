#include "platform/thread.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace velquin::platform {

void LowerThisThreadsPriority() {
    // On Linux a nice value belongs to one thread, named by its thread id.
    const auto thread = static_cast<id_t>(::syscall(SYS_gettid));
    const int current = ::getpriority(PRIO_PROCESS, thread);
    ::setpriority(PRIO_PROCESS, thread, current < 10 ? 10 : current);
}

}  // namespace velquin::platform
