// Linked into every widget test: selects Qt's offscreen platform before main() runs, so the tests
// need no display whatever runs them (ctest, a debugger, a shell).
#include <cstdlib>

namespace {
const bool offscreen_selected = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0);
    return true;
}();
}  // namespace
