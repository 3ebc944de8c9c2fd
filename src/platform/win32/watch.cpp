// Change notifications on the file's folder; a notification is confirmed against the file's
// status, since it also fires for the folder's other entries.

#include "platform/watch.h"

#include <windows.h>

#include "platform/win32/text.h"

namespace velquin::platform {

struct FileChangeWatch::State {
    std::wstring path;
    HANDLE notification = INVALID_HANDLE_VALUE;
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

    void StopNotifications() {
        if (notification != INVALID_HANDLE_VALUE) ::FindCloseChangeNotification(notification);
        notification = INVALID_HANDLE_VALUE;
    }
};

FileChangeWatch::FileChangeWatch(std::string path, Mode mode) : state_(std::make_unique<State>()) {
    State& s = *state_;
    s.path = win32::ExtendedPath(path);
    const auto cut = s.path.rfind(L'\\');
    if (mode == Mode::Notify && cut != std::wstring::npos && cut + 1 < s.path.size()) {
        const std::wstring folder = s.path.substr(0, cut + 1);
        s.notification = ::FindFirstChangeNotificationW(
            folder.c_str(), FALSE,
            FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE |
                FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_CREATION);
    }
}

FileChangeWatch::~FileChangeWatch() { state_->StopNotifications(); }

bool FileChangeWatch::Changed() {
    State& s = *state_;
    if (s.notification == INVALID_HANDLE_VALUE) {
        const bool first = s.first;
        s.first = false;
        return s.StatusChanged() || first;
    }
    if (s.first) {
        s.first = false;
        s.StatusChanged();
        return true;
    }
    if (::WaitForSingleObject(s.notification, 0) != WAIT_OBJECT_0) return false;
    // Re-armed before the status is read, so a change that lands now is not lost.
    if (!::FindNextChangeNotification(s.notification)) s.StopNotifications();
    return s.StatusChanged();
}

bool FileChangeWatch::Notified() const { return state_->notification != INVALID_HANDLE_VALUE; }

}  // namespace velquin::platform
