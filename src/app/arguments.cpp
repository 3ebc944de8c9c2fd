#include "app/arguments.h"

#include <cstdio>
#include <string_view>

#include "engine/database.h"

namespace velquin::app {

const char* const kUsage =
    "Usage: velquin [-d FILE]\n"
    "Opens the scan console of Orvanta Velquin W32.Spy-Qarnix, a cleaner for the Qarnix trojans.\n"
    "\n"
    "  -d, --database FILE   signature list (default: database.db beside the executable, else\n"
    "                        ../share/velquin/database.db from the executable's folder)\n"
    "  -h, --help            print this help and exit\n"
    "  -V, --version         print the version and exit\n"
    "\n"
    "The window needs a display; velquin-scan scans from a console without one.\n"
    "Exit status: 0 when the window is closed; 2 bad arguments or no display.\n";

Arguments ReadArguments(int argc, char** argv) {
    Arguments arguments;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-h" || argument == "--help") {
            arguments.help = true;
        } else if (argument == "-V" || argument == "--version") {
            arguments.version = true;
        } else if (argument == "-d" || argument == "--database" || argument.starts_with("--database=")) {
            const auto equals = argument.find('=');
            if (equals != std::string_view::npos) {
                arguments.database = argument.substr(equals + 1);
            } else if (i + 1 < argc) {
                arguments.database = argv[++i];
            } else {
                arguments.error = std::string(argument) + " needs a FILE";
                break;
            }
            // An empty FILE (an unset variable, say) must not quietly mean "the default list".
            if (arguments.database.empty()) {
                arguments.error = "an empty FILE names no signature list";
                break;
            }
        }
    }
    return arguments;
}

std::optional<int> AnswerWithoutWindow(const Arguments& arguments, const char* version) {
    if (!arguments.error.empty()) {
        std::fprintf(stderr, "velquin: %s (see --help)\n", arguments.error.c_str());
        return kBadUse;
    }
    if (arguments.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (arguments.version) {
        std::printf("velquin %s\n", version);
        return 0;
    }
    return std::nullopt;
}

const char* UnknownArgument(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-d" || argument == "--database") {
            ++i;
        } else if (!argument.starts_with("--database=") && argument != "-h" && argument != "--help" &&
                   argument != "-V" && argument != "--version") {
            return argv[i];
        }
    }
    return nullptr;
}

ui::Form1Options WindowOptions(const Arguments& arguments) {
    const engine::SignatureListLocation list = engine::FindSignatureList(arguments.database);
    ui::Form1Options options;
    if (list.Found()) {
        options.databasePath = list.path;
    } else {
        options.databasePath = list.tried.front();
        options.databaseSearched = list.TriedText();
    }
    return options;
}

}  // namespace velquin::app
