// Renders the scan console offscreen into a PNG: the window in the middle of a scan beside the
// same window after the report.
// Usage: velquin_form1_screenshot OUT.png TREE DATABASE [LOG]   (LOG: the log's lines, one a line)
#include <fstream>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QTimer>
#include <QTest>

#include "ui/main/qt/form1.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 4) return 2;
    velquin::ui::Form1Options options;
    options.databasePath = argv[3];
    velquin::ui::Form1 form(options);
    form.show();
    form.findChild<QLineEdit*>("Text1")->setText(argv[2]);

    QImage midScan;
    auto* scan = form.findChild<QWidget*>("Scan");
    // Mid-scan: once a few entries are done, advance the animations and take the picture.
    QTimer grabber;
    grabber.setInterval(0);
    QObject::connect(&grabber, &QTimer::timeout, [&] {
        if (!midScan.isNull() || form.findChild<QLabel*>("Label7")->text().toInt() < 2) return;
        for (int i = 0; i < 6; ++i) form.Timer1Tick();
        for (int i = 0; i < 45; ++i) form.Timer3Tick();
        midScan = form.grab().toImage();
    });
    grabber.start();
    QTest::mouseClick(scan, Qt::LeftButton);
    grabber.stop();
    const QImage after = form.grab().toImage();
    if (midScan.isNull()) midScan = after;

    QImage sheet(midScan.width() + after.width() + 12, std::max(midScan.height(), after.height()),
                 QImage::Format_RGB32);
    sheet.fill(QColor(64, 64, 64));
    QPainter p(&sheet);
    p.drawImage(0, 0, midScan);
    p.drawImage(midScan.width() + 12, 0, after);
    p.end();
    if (argc > 4) {
        std::ofstream lines(argv[4], std::ios::binary);
        auto* log = form.findChild<QListWidget*>("List3");
        for (int i = 0; i < log->count(); ++i) lines << log->item(i)->text().toStdString() << "\n";
    }
    return sheet.save(argv[1]) ? 0 : 1;
}
