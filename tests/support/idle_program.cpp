// A harmless program for tests that need a process running under a name of their choosing: it
// waits for the number of seconds given (30 by default) and exits.

#include <chrono>
#include <cstdlib>
#include <thread>

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    return 0;
}
