// velquin: the scan console window.

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/database.h"
#include "ui/main/form1.h"

namespace {

constexpr int kBadUse = 2;

constexpr const char* kUsage =
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

struct Arguments {
    bool help = false;
    bool version = false;
    std::string database;
    std::string error;  // a message when the arguments cannot be used
};

// Reads this program's own options; Qt's (-platform, -style, ...) are left for QApplication.
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

// Whether anything names a place to show the window: a display, or a Qt platform chosen by hand.
bool DisplayNamed(int argc, char** argv) {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(variable);
        if (value && *value) return true;
    }
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-platform" || argument == "--platform") return true;
    }
    return false;
}

[[noreturn]] void NoDisplay(const char* detail) {
    std::fprintf(stderr,
                 "velquin: cannot open the window: %s; velquin-scan scans from a console without one\n",
                 detail);
    std::fflush(stderr);
    std::_Exit(kBadUse);
}

QtMessageHandler qtHandler = nullptr;

// Qt ends a program that finds no display with a fatal message and an abort; say what is wrong
// and end with the status of a bad start instead.
void HandleQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) NoDisplay("no display could be reached");
    if (qtHandler) qtHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    const Arguments arguments = ReadArguments(argc, argv);
    if (!arguments.error.empty()) {
        std::fprintf(stderr, "velquin: %s (see --help)\n", arguments.error.c_str());
        return kBadUse;
    }
    if (arguments.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (arguments.version) {
        std::printf("velquin %s\n", VELQUIN_VERSION);
        return 0;
    }
    if (!DisplayNamed(argc, argv)) NoDisplay("no display is set (DISPLAY and WAYLAND_DISPLAY are empty)");

    qtHandler = qInstallMessageHandler(HandleQtMessage);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtHandler);
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-d" || argument == "--database") {
            ++i;
        } else if (!argument.starts_with("--database=")) {
            std::fprintf(stderr, "velquin: unknown argument %s (see --help)\n", argv[i]);
            return kBadUse;
        }
    }
    QGuiApplication::setDesktopFileName(VELQUIN_APP_ID);  // ties the window to its desktop entry

    const velquin::engine::SignatureListLocation list = velquin::engine::FindSignatureList(arguments.database);
    velquin::ui::Form1Options options;
    if (list.Found()) {
        options.databasePath = QString::fromStdString(list.path);
    } else {
        options.databasePath = QString::fromStdString(list.tried.front());
        options.databaseSearched = QString::fromStdString(list.TriedText());
    }
    velquin::ui::Form1 form(options);
    form.show();
    return app.exec();
}
