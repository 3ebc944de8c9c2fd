#pragma once
// The patterns that leave entries out of a scan (--exclude). A pattern without a separator is
// matched against the name of every entry, at any depth; a pattern with a separator against the
// entry's whole path as the report writes it: the target as it was given, then the names below it.
//   *        any run of characters within one name (never a separator)
//   ?        any one character but a separator
//   [abc]    one character of the set; [a-z] a range; [!abc] or [^abc] one character not in it
//   **       any run of characters, separators included; "**/" also stands for no folder at all
// A pattern that ends with a separator matches folders only. On POSIX "\" makes the next character
// an ordinary one; on Windows "\" and "/" are both separators and letters match without regard to
// case, as the system's own names do.

#include <string>
#include <string_view>

namespace velquin::engine {

class PathGlob {
public:
    explicit PathGlob(std::string_view pattern);

    // Whether the entry matches. `path` is its full path without a trailing separator, `name` its
    // last part (empty for a path without one, such as a root); `maybeFolder` is true for a folder
    // and for an entry that could not be described.
    bool Matches(std::string_view path, std::string_view name, bool maybeFolder) const;

    // Whether the pattern is matched against whole paths (it holds a separator).
    bool MatchesPaths() const { return matchesPaths_; }
    const std::string& Text() const { return text_; }

private:
    std::string text_;     // as given
    std::string pattern_;  // without the separator that ends a folders-only pattern
    bool matchesPaths_ = false;
    bool foldersOnly_ = false;
};

}  // namespace velquin::engine
