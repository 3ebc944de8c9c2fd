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

std::optional<std::uint64_t> ThisThreadsWaits() {
#ifdef RUSAGE_THREAD
    struct rusage usage;
    if (::getrusage(RUSAGE_THREAD, &usage) == 0) return static_cast<std::uint64_t>(usage.ru_nvcsw);
#endif
    return std::nullopt;
}

}  // namespace velquin::platform
