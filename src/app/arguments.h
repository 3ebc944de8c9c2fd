#pragma once
// velquin's own command line, the same on every platform: --database, --help, --version.

#include <optional>
#include <string>

#include "ui/main/form1_logic.h"

namespace velquin::app {

inline constexpr int kBadUse = 2;

extern const char* const kUsage;

struct Arguments {
    bool help = false;
    bool version = false;
    std::string database;
    std::string error;  // a message when the arguments cannot be used
};

// Reads this program's own options; other arguments are left for the toolkit, which may take
// some (Qt's -platform, -style, ...), and for UnknownArgument.
Arguments ReadArguments(int argc, char** argv);

// Answers what needs no window: a bad use (on stderr), --help or --version (on stdout). The exit
// status when the program ends here, nothing when it goes on to open its window.
std::optional<int> AnswerWithoutWindow(const Arguments& arguments, const char* version);

// The first argument that is not this program's, among those the toolkit left; nullptr when
// there is none.
const char* UnknownArgument(int argc, char** argv);

// The window's options: the signature list found as both programs find it, or the places
// looked at when there is none.
ui::Form1Options WindowOptions(const Arguments& arguments);

}  // namespace velquin::app
