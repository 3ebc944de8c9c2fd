#pragma once
// Text at the Windows API boundary: the platform interface speaks UTF-8, the wide API UTF-16.
// Windows file names are sequences of 16-bit units that need not be valid UTF-16; an unpaired
// surrogate is carried through UTF-8 as its own three-byte form, so every name found in a listing
// converts back to the very same name.

#include <string>
#include <string_view>

namespace velquin::platform::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// The form of a path that the wide file API takes without the classic path-length limit: "\\?\"
// before a full path ("\\?\UNC\" for a share). Relative paths are made full first; "/" becomes
// "\"; runs of separators collapse; "." and ".." are resolved. A path already in this form stays
// as it is.
std::wstring ExtendedPath(std::string_view path);

// A path for people: an extended path without its "\\?\" prefix.
std::wstring WithoutExtendedPrefix(std::wstring_view path);

}  // namespace velquin::platform::win32
