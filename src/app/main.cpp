// velquin: the scan console window.

#include <QApplication>
#include <QDir>

#include "ui/main/form1.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    velquin::ui::Form1Options options;
    options.databasePath = QDir(QCoreApplication::applicationDirPath()).filePath("database.db");
    velquin::ui::Form1 form(options);
    form.show();
    return app.exec();
}
