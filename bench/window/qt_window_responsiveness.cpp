// Runs one scan in the scan console, offscreen, and measures how well the window keeps up while
// the walk runs on its thread: the longest gap between two turns of the event loop, and the
// longest interval between two ticks of the 20 ms busy-bar timer.
// usage: velquin_window_responsiveness TREE DATABASE
#include <algorithm>
#include <chrono>
#include <cstdio>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include "ui/main/qt/form1.h"

namespace {
using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s TREE DATABASE\n", argv[0]);
        return 2;
    }
    velquin::ui::Form1Options options;
    options.databasePath = argv[2];
    velquin::ui::Form1 form(options);
    form.show();
    form.findChild<QLineEdit*>("Text1")->setText(QString::fromLocal8Bit(argv[1]));

    bool scanning = false;
    long turns = 0, ticks = 0, longestTurn = 0;
    Clock::time_point lastTurn, lastTick;
    Clock::duration longestTurnGap{}, longestTickGap{}, longestWalkGap{};
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, [&] {
        if (!scanning) return;
        const auto now = Clock::now();
        if (turns > 0 && now - lastTurn > longestTurnGap) {
            longestTurnGap = now - lastTurn;
            longestTurn = turns;
        }
        // From the third turn on, the walk runs: the first gap holds the scan's start (reading
        // the signature list).
        if (turns > 1) longestWalkGap = std::max(longestWalkGap, now - lastTurn);
        ++turns;
        lastTurn = now;
    });
    QObject::connect(form.findChild<QTimer*>("Timer3"), &QTimer::timeout, [&] {
        const auto now = Clock::now();
        if (ticks++ > 0) longestTickGap = std::max(longestTickGap, now - lastTick);
        lastTick = now;
    });

    scanning = true;
    const auto start = Clock::now();
    QTest::mouseClick(form.findChild<QWidget*>("Scan"), Qt::LeftButton);
    const auto wall = Clock::now() - start;
    scanning = false;

    auto* log = form.findChild<QListWidget*>("List3");
    for (int i = std::max(0, log->count() - 7); i < log->count(); ++i)
        std::printf("  %s\n", qPrintable(log->item(i)->text()));
    std::printf("window scan wall time: %.3f s\n", Ms(wall) / 1000);
    std::printf("event-loop turns: %ld, longest gap between two turns: %.2f ms (before turn %ld); "
                "longest during the walk: %.2f ms\n",
                turns, Ms(longestTurnGap), longestTurn, Ms(longestWalkGap));
    std::printf("busy-bar ticks (20 ms timer): %ld, longest interval between two ticks: %.2f ms\n",
                ticks, Ms(longestTickGap));
    return 0;
}
