#pragma once
// The console a command-line program runs in: whether a stream is a terminal and how wide it is,
// the interrupt key, a closed output, local time, report files, and the program's arguments as
// UTF-8.

#include <cstddef>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "platform/error.h"

namespace velquin::platform {

bool IsTerminal(std::FILE* stream);

// Columns of the terminal behind `stream`; 0 when it is none or cannot tell.
std::size_t TerminalColumns(std::FILE* stream);

// The first interrupt (Ctrl-C) calls `onInterrupt`, which may only set a flag; a second one ends
// the program at once.
void InstallInterruptHandler(void (*onInterrupt)());

// A write to a pipe whose reader has gone fails with an error instead of ending the program, so
// the program can finish its work and say what happened. Programs it starts get the default back.
void IgnoreBrokenPipe();

// Opens the file `path` for writing a report, created when missing: appended to, or emptied
// first. The path is the user's own choice, so a link there is followed, as a shell's redirection
// follows it. Returns nullptr with `error` set when it cannot be opened.
std::FILE* OpenReportFile(const std::string& path, bool append, Error* error);

// The calendar time `when` in the local time zone.
std::tm LocalTime(std::time_t when);

// The arguments of main() as UTF-8, the program's name first. Where main() receives them in
// another encoding, they are read again from the system, and console output is set to UTF-8.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

}  // namespace velquin::platform
