#include "WindowMode.h"

#include <QApplication>
#include <QIcon>

#include <clocale>

#include "IconArt.h"
#include "VarkelApp.h"

int RunWindow(int argc, char** argv, const CommandLine& line) {
    QApplication application(argc, argv);
    // QApplication adopts the user's locale; the chart labels are "%g" with a decimal point.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Varkel"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0.1"));
    QApplication::setDesktopFileName(QStringLiteral("varkel"));
    QApplication::setWindowIcon(ApplicationIcon());

    CVarkelApp theApp(line);
    if (!theApp.InitInstance()) return 1;
    const int status = application.exec();
    theApp.ExitInstance();
    return status;
}
