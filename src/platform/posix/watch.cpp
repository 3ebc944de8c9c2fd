#include "platform/watch.h"

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include <thread>

#if defined(__linux__)
#include <sys/eventfd.h>
#include <sys/inotify.h>
#endif

namespace velquin::platform {

struct FileChangeWatch::State {
    std::string path;
    // Watched folders and the name in each whose events matter: the file's own entry and, when
    // that is a link, the entry the link leads to.
    struct Watched {
        int descriptor;
        std::string name;
        bool link;  // the link itself: if it changes, it may lead elsewhere now
    };
    std::vector<Watched> watched;
    std::atomic<bool> changed{true};
    std::atomic<bool> notified{false};
    int notify = -1;
    int wake = -1;
    std::thread thread;

    // Status comparison, used when notifications are not available.
    bool seen = false;
    bool lastExisted = false;
    struct stat last {};

    bool StatusChanged() {
        struct stat now {};
        const bool exists = stat(path.c_str(), &now) == 0;
        bool differs = !seen || exists != lastExisted;
        if (!differs && exists) {
            differs = now.st_dev != last.st_dev || now.st_ino != last.st_ino ||
                      now.st_size != last.st_size || now.st_mtim.tv_sec != last.st_mtim.tv_sec ||
                      now.st_mtim.tv_nsec != last.st_mtim.tv_nsec ||
                      now.st_ctim.tv_sec != last.st_ctim.tv_sec ||
                      now.st_ctim.tv_nsec != last.st_ctim.tv_nsec;
        }
        seen = true;
        lastExisted = exists;
        last = now;
        return differs;
    }

#if defined(__linux__)
    void Run() {
        alignas(inotify_event) char buffer[16 * 1024];
        pollfd fds[2] = {{notify, POLLIN, 0}, {wake, POLLIN, 0}};
        for (;;) {
            if (poll(fds, 2, -1) < 0) {
                if (errno == EINTR) continue;
                break;
            }
            if (fds[1].revents) return;
            const ssize_t n = read(notify, buffer, sizeof buffer);
            if (n <= 0) {
                if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
                break;
            }
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                if (event->mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_Q_OVERFLOW)) {
                    // The folder itself went away or events were lost: fall back to comparing status.
                    notified.store(false, std::memory_order_release);
                    changed.store(true, std::memory_order_release);
                    return;
                }
                for (const Watched& w : watched) {
                    if (event->len == 0 || w.descriptor != event->wd || w.name != event->name) continue;
                    changed.store(true, std::memory_order_release);
                    if (w.link) {
                        // The link may lead to another folder now: compare status from here on.
                        notified.store(false, std::memory_order_release);
                        return;
                    }
                }
            }
        }
        notified.store(false, std::memory_order_release);
        changed.store(true, std::memory_order_release);
    }
#endif
};

namespace {

void SplitPath(const std::string& path, std::string& folder, std::string& name) {
    const auto slash = path.rfind('/');
    folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    name = slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

FileChangeWatch::FileChangeWatch(std::string path, Mode mode) : state_(std::make_unique<State>()) {
    State& s = *state_;
    s.path = std::move(path);
#if defined(__linux__)
    if (mode == Mode::Poll) return;
    s.notify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    s.wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (s.notify < 0 || s.wake < 0) return;
    const uint32_t mask = IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_CREATE | IN_DELETE |
                          IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;
    const auto watch = [&](const std::string& file, bool link) {
        std::string folder, name;
        SplitPath(file, folder, name);
        const int descriptor = name.empty() ? -1 : inotify_add_watch(s.notify, folder.c_str(), mask);
        if (descriptor >= 0) s.watched.push_back({descriptor, name, link});
        return descriptor >= 0;
    };
    struct stat entry {};
    const bool isLink = lstat(s.path.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode);
    bool ok = watch(s.path, isLink);
    if (ok && isLink) {
        char* target = realpath(s.path.c_str(), nullptr);
        ok = target && watch(target, false);
        std::free(target);
    }
    if (ok) {
        s.notified.store(true);
        s.thread = std::thread([&s] { s.Run(); });
    }
#else
    (void)mode;
#endif
}

FileChangeWatch::~FileChangeWatch() {
    State& s = *state_;
#if defined(__linux__)
    if (s.thread.joinable()) {
        const uint64_t one = 1;
        while (write(s.wake, &one, sizeof one) < 0 && errno == EINTR) {
        }
        s.thread.join();
    }
#endif
    if (s.notify >= 0) close(s.notify);
    if (s.wake >= 0) close(s.wake);
}

bool FileChangeWatch::Changed() {
    State& s = *state_;
    if (s.notified.load(std::memory_order_acquire)) {
        return s.changed.exchange(false, std::memory_order_acq_rel);
    }
    const bool flagged = s.changed.exchange(false, std::memory_order_acq_rel);
    return s.StatusChanged() || flagged;
}

bool FileChangeWatch::Notified() const { return state_->notified.load(std::memory_order_acquire); }

}  // namespace velquin::platform
