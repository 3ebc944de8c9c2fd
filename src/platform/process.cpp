#include "platform/process.h"

namespace velquin::platform {

namespace {
char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

bool SameImageName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

bool ProcessHasImageName(const ProcessInfo& process, std::string_view imageName) {
    if (imageName.empty()) return false;
    return SameImageName(process.imageName, imageName) || SameImageName(process.commandName, imageName);
}

std::string_view LastPathComponent(std::string_view path) {
    const auto cut = path.find_last_of("/\\");
    return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

}  // namespace velquin::platform
