#include "engine/glob.h"

#include "platform/file.h"

namespace velquin::engine {
namespace {

constexpr std::size_t kNone = std::string_view::npos;
constexpr bool kBackslashEscapes = !platform::IsPathSeparator('\\');

enum class Match {
    Yes,
    No,
    // The text ran out: no later start of a "*" can match either.
    NoneLater,
    // A "*" met a separator it cannot cross: only an enclosing "**" can still match.
    OnlyAcrossSeparators,
};

char Folded(char c) {
    if (platform::kNamesIgnoreCase && c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
    return c;
}

bool SameCharacter(char pattern, char text) {
    if (platform::IsPathSeparator(pattern)) return platform::IsPathSeparator(text);
    return Folded(pattern) == Folded(text);
}

// The bracket expression that starts at pattern[at] ("["): sets `in` to whether `c` belongs to it
// and returns the position of its closing "]", or kNone when it has none (the "[" is then an
// ordinary character).
std::size_t MatchSet(std::string_view pattern, std::size_t at, char c, bool& in) {
    std::size_t i = at + 1;
    const bool negated = i < pattern.size() && (pattern[i] == '!' || pattern[i] == '^');
    if (negated) ++i;
    bool found = false;
    for (bool first = true; i < pattern.size(); first = false) {
        if (pattern[i] == ']' && !first) {
            in = !platform::IsPathSeparator(c) && found != negated;
            return i;
        }
        char low = pattern[i++];
        if (kBackslashEscapes && low == '\\' && i < pattern.size()) low = pattern[i++];
        char high = low;
        if (i + 1 < pattern.size() && pattern[i] == '-' && pattern[i + 1] != ']') {
            ++i;
            high = pattern[i++];
            if (kBackslashEscapes && high == '\\' && i < pattern.size()) high = pattern[i++];
        }
        if (Folded(low) <= Folded(c) && Folded(c) <= Folded(high)) found = true;
    }
    return kNone;
}

Match MatchFrom(std::string_view pattern, std::size_t p, std::string_view text, std::size_t t) {
    for (; p < pattern.size(); ++p, ++t) {
        if (pattern[p] == '*') {
            const bool crosses = p + 1 < pattern.size() && pattern[p + 1] == '*';
            while (p < pattern.size() && pattern[p] == '*') ++p;
            if (crosses && p < pattern.size() && platform::IsPathSeparator(pattern[p])) {
                const Match none = MatchFrom(pattern, p + 1, text, t);  // "**/" as no folder
                if (none == Match::Yes || none == Match::NoneLater) return none;
            }
            if (p == pattern.size()) {
                if (crosses || text.find_first_of(platform::kPathSeparators, t) == kNone) return Match::Yes;
                return Match::OnlyAcrossSeparators;
            }
            for (;; ++t) {
                const Match rest = MatchFrom(pattern, p, text, t);
                if (rest != Match::No && (!crosses || rest != Match::OnlyAcrossSeparators)) return rest;
                if (t >= text.size()) return Match::NoneLater;
                if (!crosses && platform::IsPathSeparator(text[t])) return Match::OnlyAcrossSeparators;
            }
        }
        if (t >= text.size()) return Match::NoneLater;
        const char c = text[t];
        if (pattern[p] == '?') {
            if (platform::IsPathSeparator(c)) return Match::No;
            continue;
        }
        if (pattern[p] == '[') {
            bool in = false;
            const std::size_t end = MatchSet(pattern, p, c, in);
            if (end != kNone) {
                if (!in) return Match::No;
                p = end;
                continue;
            }
        }
        if (kBackslashEscapes && pattern[p] == '\\' && p + 1 < pattern.size()) ++p;
        if (!SameCharacter(pattern[p], c)) return Match::No;
    }
    return t == text.size() ? Match::Yes : Match::No;
}

}  // namespace

PathGlob::PathGlob(std::string_view pattern) : text_(pattern), pattern_(pattern) {
    foldersOnly_ = !pattern_.empty() && platform::IsPathSeparator(pattern_.back());
    while (pattern_.size() > 1 && platform::IsPathSeparator(pattern_.back())) pattern_.pop_back();
    matchesPaths_ = pattern_.find_first_of(platform::kPathSeparators) != kNone;
}

bool PathGlob::Matches(std::string_view path, std::string_view name, bool maybeFolder) const {
    if (foldersOnly_ && !maybeFolder) return false;
    if (matchesPaths_) return MatchFrom(pattern_, 0, path, 0) == Match::Yes;
    return !name.empty() && MatchFrom(pattern_, 0, name, 0) == Match::Yes;
}

}  // namespace velquin::engine
