// Drives on Windows: drive letters are native, and the drive-type query tells removable drives.

#include "platform/drive.h"

#include <windows.h>

namespace velquin::platform {

namespace {

bool IsRemovable(char letter) {
    const wchar_t root[] = {static_cast<wchar_t>(letter), L':', L'\\', L'\0'};
    return ::GetDriveTypeW(root) == DRIVE_REMOVABLE;
}

class DriveTypeQuery final : public RemovableDriveQuery {
public:
    std::optional<std::string> RemovableRoot(std::string_view candidate) override {
        if (candidate.size() != 2 || candidate[1] != ':') return std::nullopt;
        const char letter = static_cast<char>(candidate[0] & ~0x20);
        if (letter < 'D' || letter > 'P' || !IsRemovable(letter)) return std::nullopt;
        return std::string{letter, ':'};
    }
};

}  // namespace

// The removable drives, in drive-letter order, as "E:".
std::vector<std::string> RemovableMountPoints(const SystemRoots&) {
    std::vector<std::string> drives;
    const DWORD present = ::GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        const char letter = static_cast<char>('A' + i);
        if ((present & (1u << i)) && IsRemovable(letter)) drives.push_back(std::string{letter, ':'});
    }
    return drives;
}

std::unique_ptr<RemovableDriveQuery> OpenRemovableDriveQuery(const SystemRoots&) {
    return std::make_unique<DriveTypeQuery>();
}

std::string NativeTargetPath(std::string_view target) {
    return NativeTargetPath(target, PathStyle::Windows, true);
}

PathStyle NativePathStyle() { return PathStyle::Windows; }

}  // namespace velquin::platform
