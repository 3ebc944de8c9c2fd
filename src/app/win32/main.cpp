// velquin.exe: the scan console window on Windows.

#include "ui/main/win32/windows_api.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/arguments.h"
#include "platform/win32/text.h"
#include "ui/main/win32/form1.h"

namespace {

// The command line as UTF-8, whatever the system's ANSI code page is.
std::vector<std::string> Utf8Arguments() {
    std::vector<std::string> arguments;
    int count = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i) arguments.push_back(velquin::platform::win32::Narrow(wide[i]));
        LocalFree(wide);
    }
    return arguments;
}

// A window program has no console of its own: --help and messages go to the console of the
// program that started it, when there is one and no output was handed over.
void UseParentConsole() {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if ((out == nullptr || out == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
}

}  // namespace

int main() {
    std::vector<std::string> utf8 = Utf8Arguments();
    std::vector<char*> argv;
    for (std::string& argument : utf8) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(utf8.size());

    const velquin::app::Arguments arguments = velquin::app::ReadArguments(argc, argv.data());
    const char* unknown = velquin::app::UnknownArgument(argc, argv.data());
    if (unknown || arguments.help || arguments.version || !arguments.error.empty()) {
        UseParentConsole();
        if (const auto status = velquin::app::AnswerWithoutWindow(arguments, VELQUIN_VERSION)) return *status;
        std::fprintf(stderr, "velquin: unknown argument %s (see --help)\n", unknown);
        return velquin::app::kBadUse;
    }

    // Common controls 6 (the program's manifest asks for them) before the first control.
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    velquin::ui::win32::Form1 form(velquin::app::WindowOptions(arguments));
    return form.Run(SW_SHOWDEFAULT);
}
