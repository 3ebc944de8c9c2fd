#include "platform/win32/text.h"

#include <windows.h>

#include <vector>

namespace velquin::platform::win32 {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

void AppendUtf16(std::wstring& out, char32_t c) {
    if (c < 0x10000) {
        out.push_back(static_cast<wchar_t>(c));
    } else {
        c -= 0x10000;
        out.push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
        out.push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
    }
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

}  // namespace

std::wstring Widen(std::string_view utf8) {
    std::wstring out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        char32_t c = length == 1 ? lead : length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
        bool valid = length != 0 && i + static_cast<std::size_t>(length) <= utf8.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        // Overlong forms and values past U+10FFFF are not text; surrogates are kept (see header).
        if (valid) {
            valid = (length == 1) || (length == 2 && c >= 0x80) || (length == 3 && c >= 0x800) ||
                    (length == 4 && c >= 0x10000 && c <= 0x10FFFF);
        }
        if (!valid) {
            out.push_back(static_cast<wchar_t>(kReplacement));
            ++i;
            continue;
        }
        AppendUtf16(out, c);
        i += static_cast<std::size_t>(length);
    }
    return out;
}

std::string Narrow(std::wstring_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const char32_t unit = static_cast<char16_t>(utf16[i]);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < utf16.size()) {
            const char32_t low = static_cast<char16_t>(utf16[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, unit);
    }
    return out;
}

std::wstring ExtendedPath(std::string_view path) {
    std::wstring wide = Widen(path);
    if (wide.starts_with(L"\\\\?\\")) return wide;

    const bool driveRooted = wide.size() >= 3 && IsDriveLetter(wide[0]) && wide[1] == L':' && IsSeparator(wide[2]);
    const bool share = wide.size() >= 2 && IsSeparator(wide[0]) && IsSeparator(wide[1]);
    bool complete = driveRooted || share;
    // A full path with no "." or ".." component needs no help from the system; the system's own
    // resolution would also drop trailing dots and spaces from names, which this form keeps.
    for (std::size_t start = 0; complete && start < wide.size();) {
        std::size_t end = start;
        while (end < wide.size() && !IsSeparator(wide[end])) ++end;
        const std::wstring_view part(wide.data() + start, end - start);
        if (part == L"." || part == L"..") complete = false;
        start = end + 1;
    }
    std::wstring full;
    if (complete) {
        full = std::move(wide);
    } else {
        std::vector<wchar_t> buffer(wide.size() + MAX_PATH + 1);
        for (;;) {
            const DWORD n = ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
            if (n == 0) {
                full = wide;
                break;
            }
            if (n < buffer.size()) {
                full.assign(buffer.data(), n);
                break;
            }
            buffer.resize(n + 1);
        }
    }

    std::wstring out;
    std::size_t i = 0;
    if (full.size() >= 2 && IsSeparator(full[0]) && IsSeparator(full[1])) {
        out = L"\\\\?\\UNC\\";
        i = 2;
    } else {
        out = L"\\\\?\\";
    }
    out.reserve(out.size() + full.size());
    for (; i < full.size(); ++i) {
        const wchar_t c = IsSeparator(full[i]) ? L'\\' : full[i];
        if (c == L'\\' && !out.empty() && out.back() == L'\\') continue;
        out.push_back(c);
    }
    return out;
}

std::wstring WithoutExtendedPrefix(std::wstring_view path) {
    if (path.starts_with(L"\\\\?\\UNC\\")) return L"\\\\" + std::wstring(path.substr(8));
    if (path.starts_with(L"\\\\?\\")) return std::wstring(path.substr(4));
    return std::wstring(path);
}

}  // namespace velquin::platform::win32
