// A harmless program for tests that need a process running under a name of their choosing: it
// waits for the number of seconds given (30 by default) and exits. Given a file name as well, it
// creates that file first, to tell the test that it has finished starting.

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
    if (argc > 2) std::ofstream(argv[2]).put('\n');
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    return 0;
}
