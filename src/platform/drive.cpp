#include "platform/drive.h"

namespace velquin::platform {

namespace {
bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

std::string NativeTargetPath(std::string_view target, PathStyle style, bool systemDriveMounted) {
    const bool driveLetterPath = target.size() >= 2 && IsAsciiLetter(target[0]) && target[1] == ':' &&
                                 (target.size() == 2 || target[2] == '\\' || target[2] == '/');
    if (style == PathStyle::Windows || !driveLetterPath) return std::string(target);

    const char letter = LowerAscii(target[0]);
    std::string rest(target.substr(2));
    for (char& c : rest) {
        if (c == '\\') c = '/';
    }
    if (letter == 'c' && !systemDriveMounted) return rest.empty() ? std::string("/") : rest;
    return std::string("/mnt/") + letter + rest;
}

}  // namespace velquin::platform
