#pragma once
// The console a command-line program runs in: whether a stream is a terminal and how wide it is,
// the interrupt key, local time, and the program's arguments as UTF-8.

#include <cstddef>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace velquin::platform {

bool IsTerminal(std::FILE* stream);

// Columns of the terminal behind `stream`; 0 when it is none or cannot tell.
std::size_t TerminalColumns(std::FILE* stream);

// The first interrupt (Ctrl-C) calls `onInterrupt`, which may only set a flag; a second one ends
// the program at once.
void InstallInterruptHandler(void (*onInterrupt)());

// The calendar time `when` in the local time zone.
std::tm LocalTime(std::time_t when);

// The arguments of main() as UTF-8, the program's name first. Where main() receives them in
// another encoding, they are read again from the system, and console output is set to UTF-8.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

}  // namespace velquin::platform
