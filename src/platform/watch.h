#pragma once
// Tells cheaply whether a file may have changed since the last question, so a cache of its
// content can be kept without asking the file system on every use.

#include <memory>
#include <string>

namespace velquin::platform {

class FileChangeWatch {
public:
    enum class Mode {
        Notify,  // change notifications where the system has them, else status comparison
        Poll,    // status comparison on every call
    };
    explicit FileChangeWatch(std::string path, Mode mode = Mode::Notify);
    ~FileChangeWatch();
    FileChangeWatch(const FileChangeWatch&) = delete;
    FileChangeWatch& operator=(const FileChangeWatch&) = delete;

    // True on the first call and then once after each change of the file: written, replaced,
    // removed or created. Where the system delivers change notifications this costs no system
    // call; elsewhere it compares the file's status with the last one seen.
    bool Changed();

    // True when change notifications are in use (false: the status is compared on every call).
    bool Notified() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace velquin::platform
