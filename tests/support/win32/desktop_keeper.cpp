// Holds the Wine prefix's desktop for a test session: a program attached to the desktop (it asks
// for the desktop window) that waits the number of seconds given (30 by default). While no
// program is attached, the prefix ends its desktop, and every test program that draws would
// start a new one, with its services, at a cost of seconds each.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  GetDesktopWindow();
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
  Sleep(static_cast<DWORD>(seconds) * 1000);
  return 0;
}
