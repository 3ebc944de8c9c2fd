// Removable drives from the mount table (/proc/self/mountinfo) and the block devices' "removable"
// flags in sysfs.

#include "platform/drive.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <poll.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cerrno>
#include <sys/stat.h>

namespace velquin::platform {

namespace {

// The SCSI optical drives' major number: their medium is removable, but they are not a removable
// drive in the sense of a stick or a card.
constexpr std::string_view kOpticalMajor = "11";

std::optional<std::string> ReadSmallFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string content;
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        content.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return content;
}

// Mount points in the table escape space, tab, newline and backslash as "\ooo".
std::string UnescapeMountField(std::string_view field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const auto octal = field.substr(i + 1, 3);
            if (octal.find_first_not_of("01234567") == std::string_view::npos) {
                out.push_back(static_cast<char>(((octal[0] - '0') << 6) | ((octal[1] - '0') << 3) | (octal[2] - '0')));
                i += 3;
                continue;
            }
        }
        out.push_back(field[i]);
    }
    return out;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (start < line.size()) {
        const auto end = line.find(' ', start);
        const auto stop = end == std::string_view::npos ? line.size() : end;
        if (stop > start) fields.push_back(line.substr(start, stop - start));
        start = stop + 1;
    }
    return fields;
}

std::optional<bool> ReadFlag(const std::string& path) {
    const auto content = ReadSmallFile(path);
    if (!content) return std::nullopt;
    return !content->empty() && (*content)[0] == '1';
}

bool IsRemovableDevice(const SystemRoots& roots, std::string_view majorMinor, std::string_view source) {
    if (majorMinor.substr(0, majorMinor.find(':')) == kOpticalMajor) return false;
    std::string device = roots.sys + "/dev/block/" + std::string(majorMinor);
    struct stat info {};
    if (::stat(device.c_str(), &info) != 0) {
        // File systems such as btrfs report an anonymous device number; their source names the
        // block device instead.
        if (!source.starts_with("/dev/")) return false;
        device = roots.sys + "/class/block/" + std::string(source.substr(source.rfind('/') + 1));
    }
    // Disks carry the flag; a partition's flag is its disk's, one level up.
    if (const auto own = ReadFlag(device + "/removable")) return *own;
    return ReadFlag(device + "/../removable").value_or(false);
}

std::optional<std::size_t> CandidateIndex(std::string_view candidate) {
    if (candidate.size() != 2 || candidate[1] != ':') return std::nullopt;
    const char letter = static_cast<char>(candidate[0] & ~0x20);
    if (letter < 'D' || letter > 'P') return std::nullopt;
    return static_cast<std::size_t>(letter - 'D');
}

// Asked up to thirteen times per poll, five polls a second, on the window's thread: the mount
// table is parsed again only when the kernel reports that it changed. Fixture tables, which cannot
// report changes, are read on every question.
class MountTableQuery final : public RemovableDriveQuery {
public:
    explicit MountTableQuery(SystemRoots roots) : roots_(std::move(roots)) {
        watchFd_ = ::open((roots_.proc + "/self/mountinfo").c_str(), O_RDONLY | O_CLOEXEC);
        struct statfs fs {};
        if (watchFd_ >= 0 && (::fstatfs(watchFd_, &fs) != 0 || fs.f_type != PROC_SUPER_MAGIC)) {
            ::close(watchFd_);
            watchFd_ = -1;
        }
    }
    ~MountTableQuery() override {
        if (watchFd_ >= 0) ::close(watchFd_);
    }
    MountTableQuery(const MountTableQuery&) = delete;
    MountTableQuery& operator=(const MountTableQuery&) = delete;

    std::optional<std::string> RemovableRoot(std::string_view candidate) override {
        const auto index = CandidateIndex(candidate);
        if (!index) return std::nullopt;
        const auto& mounts = Current();
        if (*index >= mounts.size()) return std::nullopt;
        return mounts[*index];
    }

private:
    const std::vector<std::string>& Current() {
        if (watchFd_ >= 0 && known_) {
            // A change shows as POLLPRI, and polling acknowledges it.
            pollfd changed{watchFd_, POLLPRI, 0};
            if (::poll(&changed, 1, 0) == 0) return mounts_;
        }
        mounts_ = RemovableMountPoints(roots_);
        known_ = true;
        return mounts_;
    }

    SystemRoots roots_;
    int watchFd_ = -1;
    bool known_ = false;
    std::vector<std::string> mounts_;
};

}  // namespace

std::vector<std::string> RemovableMountPoints(const SystemRoots& roots) {
    std::vector<std::string> mountPoints;
    const auto table = ReadSmallFile(roots.proc + "/self/mountinfo");
    if (!table) return mountPoints;
    std::string_view rest(*table);
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);

        // id parent major:minor root mount-point options [optional...] - type source super-options
        const auto fields = SplitFields(line);
        std::size_t separator = 6;
        while (separator < fields.size() && fields[separator] != "-") ++separator;
        if (separator + 2 >= fields.size()) continue;
        if (!IsRemovableDevice(roots, fields[2], fields[separator + 2])) continue;

        std::string mountPoint = UnescapeMountField(fields[4]);
        while (mountPoint.size() > 1 && mountPoint.back() == '/') mountPoint.pop_back();
        bool seen = false;
        for (const auto& known : mountPoints) seen = seen || known == mountPoint;
        if (!seen) mountPoints.push_back(std::move(mountPoint));
    }
    return mountPoints;
}

std::unique_ptr<RemovableDriveQuery> OpenRemovableDriveQuery(const SystemRoots& roots) {
    return std::make_unique<MountTableQuery>(roots);
}

std::string NativeTargetPath(std::string_view target) {
    struct stat info {};
    const bool systemDriveMounted = ::stat("/mnt/c", &info) == 0 && S_ISDIR(info.st_mode);
    return NativeTargetPath(target, PathStyle::Posix, systemDriveMounted);
}

PathStyle NativePathStyle() { return PathStyle::Posix; }

}  // namespace velquin::platform
