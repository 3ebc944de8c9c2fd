// Change notifications on the file's folder, waited for on a thread of their own, so that asking
// costs no system call; a notification is confirmed against the file's status, since it also
// fires for the folder's other entries.

#include "platform/watch.h"

#include <windows.h>

#include <atomic>
#include <thread>

#include "platform/win32/text.h"

namespace velquin::platform {

struct FileChangeWatch::State {
    std::wstring path;
    HANDLE notification = INVALID_HANDLE_VALUE;
    HANDLE stop = nullptr;
    std::thread thread;
    std::atomic<bool> signalled{false};
    std::atomic<bool> notified{false};
    bool first = true;

    bool seen = false;
    bool lastExisted = false;
    WIN32_FILE_ATTRIBUTE_DATA last{};

    bool StatusChanged() {
        WIN32_FILE_ATTRIBUTE_DATA now{};
        const bool exists = ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &now) != 0;
        bool differs = !seen || exists != lastExisted;
        if (!differs && exists) {
            differs = now.nFileSizeHigh != last.nFileSizeHigh || now.nFileSizeLow != last.nFileSizeLow ||
                      ::CompareFileTime(&now.ftLastWriteTime, &last.ftLastWriteTime) != 0 ||
                      ::CompareFileTime(&now.ftCreationTime, &last.ftCreationTime) != 0 ||
                      now.dwFileAttributes != last.dwFileAttributes;
        }
        seen = true;
        lastExisted = exists;
        last = now;
        return differs;
    }

    void Run() {
        const HANDLE waits[] = {stop, notification};
        for (;;) {
            const DWORD woke = ::WaitForMultipleObjects(2, waits, FALSE, INFINITE);
            if (woke != WAIT_OBJECT_0 + 1) break;
            // Re-armed before the flag is raised, so a change that lands now is not lost.
            const bool rearmed = ::FindNextChangeNotification(notification) != 0;
            signalled.store(true, std::memory_order_release);
            if (!rearmed) break;
        }
        // Notifications ended (or the watch is closing): compare the status from now on.
        notified.store(false, std::memory_order_release);
        signalled.store(true, std::memory_order_release);
    }
};

FileChangeWatch::FileChangeWatch(std::string path, Mode mode) : state_(std::make_unique<State>()) {
    State& s = *state_;
    s.path = win32::ExtendedPath(path);
    const auto cut = s.path.rfind(L'\\');
    if (mode != Mode::Notify || cut == std::wstring::npos || cut + 1 >= s.path.size()) return;
    const std::wstring folder = s.path.substr(0, cut + 1);
    s.notification = ::FindFirstChangeNotificationW(
        folder.c_str(), FALSE,
        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE |
            FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_CREATION);
    s.stop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (s.notification == INVALID_HANDLE_VALUE || !s.stop) return;
    s.notified.store(true);
    s.thread = std::thread([&s] { s.Run(); });
}

FileChangeWatch::~FileChangeWatch() {
    State& s = *state_;
    if (s.thread.joinable()) {
        ::SetEvent(s.stop);
        s.thread.join();
    }
    if (s.notification != INVALID_HANDLE_VALUE) ::FindCloseChangeNotification(s.notification);
    if (s.stop) ::CloseHandle(s.stop);
}

bool FileChangeWatch::Changed() {
    State& s = *state_;
    const bool first = s.first;
    s.first = false;
    if (s.notified.load(std::memory_order_acquire)) {
        if (first) {
            s.StatusChanged();
            return true;
        }
        if (!s.signalled.exchange(false, std::memory_order_acq_rel)) return false;
        return s.StatusChanged();
    }
    const bool flagged = s.signalled.exchange(false, std::memory_order_acq_rel);
    return s.StatusChanged() || first || flagged;
}

bool FileChangeWatch::Notified() const { return state_->notified.load(std::memory_order_acquire); }

}  // namespace velquin::platform
