// velquin: the scan console window.

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/arguments.h"
#include "ui/main/qt/form1.h"

namespace {

using velquin::app::kBadUse;

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
    const velquin::app::Arguments arguments = velquin::app::ReadArguments(argc, argv);
    if (const auto status = velquin::app::AnswerWithoutWindow(arguments, VELQUIN_VERSION)) return *status;
    if (!DisplayNamed(argc, argv)) NoDisplay("no display is set (DISPLAY and WAYLAND_DISPLAY are empty)");

    qtHandler = qInstallMessageHandler(HandleQtMessage);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtHandler);
    if (const char* unknown = velquin::app::UnknownArgument(argc, argv)) {
        std::fprintf(stderr, "velquin: unknown argument %s (see --help)\n", unknown);
        return kBadUse;
    }
    QGuiApplication::setDesktopFileName(VELQUIN_APP_ID);  // ties the window to its desktop entry

    const velquin::ui::Form1Options options = velquin::app::WindowOptions(arguments);
    velquin::ui::Form1 form(options);
    form.show();
    return app.exec();
}
