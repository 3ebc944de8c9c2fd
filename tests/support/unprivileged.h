#pragma once
// Permission bits and other users' processes do not stop root, under which the tests run in CI:
// a case that needs "access denied" runs its part as the unprivileged user "nobody" in a child
// process. POSIX only.

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velquin::testing {

// Runs `check` as "nobody" in a forked child and gives the child's exit status: 0 when `check`
// returned true, 10 when privileges could not be dropped, 11 when `check` returned false. Call it
// from a process of one thread: a child forked while another thread held a lock (the allocator's,
// a sanitizer's) waits for that lock forever.
template <typename Check>
int RunUnprivileged(Check check) {
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        if (getuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) _exit(10);
        _exit(check() ? 0 : 11);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace velquin::testing
