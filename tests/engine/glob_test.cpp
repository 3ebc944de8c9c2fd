#include "engine/glob.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/file.h"

namespace velquin::engine {
namespace {

struct GlobCase {
    const char* pattern;
    const char* path;  // written with "/"; its name is the part after the last "/"
    bool folder;
    bool matches;
};

// The path in the system's own form.
std::string Native(std::string path) {
    for (char& c : path) {
        if (c == '/') c = platform::kPathSeparator;
    }
    return path;
}

void ExpectCases(const std::vector<GlobCase>& cases) {
    for (const GlobCase& c : cases) {
        const std::string path = Native(c.path);
        const std::string name = path.substr(path.find_last_of(platform::kPathSeparator) + 1);
        EXPECT_EQ(PathGlob(Native(c.pattern)).Matches(path, name, c.folder), c.matches)
            << "pattern " << c.pattern << ", path " << c.path << (c.folder ? " (folder)" : "");
    }
}

TEST(PathGlobTest, PatternWithoutSeparatorMatchesTheNameAtAnyDepth) {
    ExpectCases({
        {"*.iso", "/d/a.iso", false, true},
        {"*.iso", "/d/e/f/a.iso", false, true},
        {"*.iso", "/d/a.iso.part", false, false},
        {"*.iso", "/d.iso/a", false, false},  // the name only, never a folder above it
        {"node_modules", "/p/node_modules", true, true},
        {"node_modules", "/p/node_modules2", true, false},
        {".*", "/home/me/.cache", true, true},
        {".*", "/home/me/cache", true, false},
        {"?.txt", "/a/b.txt", false, true},
        {"?.txt", "/a/bb.txt", false, false},
        {"[a-c]*", "/x/beta", false, true},
        {"[!a-c]*", "/x/beta", false, false},
        {"[^a-c]*", "/x/delta", false, true},
        {"[]x]", "/d/]", false, true},      // "]" first in a set is one of its characters
        {"a[", "/d/a[", false, true},       // an unclosed "[" is an ordinary character
        {"*a*a*a*a*a*a*a*b", "/d/aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false, false},
    });
}

TEST(PathGlobTest, PatternWithSeparatorMatchesTheWholePath) {
    ExpectCases({
        {"/home/*/.cache", "/home/me/.cache", true, true},
        {"/home/*/.cache", "/home/me/sub/.cache", true, false},  // "*" stays within one name
        {"/home/**/.cache", "/home/me/sub/.cache", true, true},
        {"/home/**/.cache", "/home/.cache", true, true},         // "**/" also for no folder
        {"**/build/*.o", "/src/build/x.o", false, true},
        {"**/build/*.o", "/src/build/sub/x.o", false, false},
        {"*/x", "/a/x", false, false},                           // "*" never matches a separator
        {"/*/x", "/a/x", false, true},
        {"/a?b", "/a/b", false, false},                          // nor does "?"
        {"/a[/]b", "/a/b", false, false},                        // nor a set
        {"demo/Downloads", "demo/Downloads", true, true},        // the path as the target was given
        {"demo/Downloads", "/root/demo/Downloads", true, false},
    });
}

TEST(PathGlobTest, TrailingSeparatorMatchesFoldersOnly) {
    ExpectCases({
        {"cache/", "/p/cache", true, true},
        {"cache/", "/p/cache", false, false},
        {"/p/cache/", "/p/cache", true, true},
        {"/p/cache/", "/p/cache", false, false},
    });
}

TEST(PathGlobTest, CaseAndEscapesFollowTheSystemsNames) {
    if (platform::kNamesIgnoreCase) {
        ExpectCases({
            {"*.EXE", "/d/setup.exe", false, true},
            {"[A-C]*", "/d/beta", false, true},
        });
        // "\" is a separator like "/".
        EXPECT_TRUE(PathGlob("C:\\Users\\*\\AppData").Matches("C:\\Users\\me\\AppData", "AppData", true));
        EXPECT_TRUE(PathGlob("C:/Users/*/AppData").Matches("C:\\Users\\me\\AppData", "AppData", true));
    } else {
        ExpectCases({
            {"*.EXE", "/d/setup.exe", false, false},
            {"\\*", "/d/*", false, true},  // "\" makes the next character an ordinary one
            {"\\*", "/d/a", false, false},
            {"[\\]]", "/d/]", false, true},
        });
    }
}

}  // namespace
}  // namespace velquin::engine
