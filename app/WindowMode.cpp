#include "WindowMode.h"

#include <QApplication>
#include <QIcon>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "DisplayCheck.h"
#include "IconArt.h"
#include "VarkelApp.h"
#include "VarkelVersion.h"

namespace {
std::string g_strUnreachableText;  // what OnStartupMessage prints before it ends the process

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string ProgramName(int argc, char** argv) {
    return argc > 0 ? std::filesystem::path(argv[0]).filename().string() : std::string("varkel");
}

// While the application object is made, a fatal message can only mean that no platform
// plugin could start, which Qt would follow with an abort: say what to do and exit instead.
void OnStartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    // Its "could not load the platform plugin even though it was found" only precedes the
    // fatal message; the reason is the platform's own warning, printed as it comes.
    if (type != QtFatalMsg && qstrcmp(context.category, "qt.qpa.plugin") == 0) return;
    if (type != QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
        return;
    }
    std::fputs(g_strUnreachableText.c_str(), stderr);
    std::fflush(stderr);
    std::_Exit(kNoDisplayStatus);
}

std::string UnreachableReason() {
    const std::string display = Environment("DISPLAY");
    const std::string wayland = Environment("WAYLAND_DISPLAY");
    const std::string platform = Environment("QT_QPA_PLATFORM");
    std::string reason = "the window could not be opened: no display could be reached";
    if (!platform.empty()) reason += " with QT_QPA_PLATFORM=" + platform;
    if (!display.empty()) reason += " (DISPLAY=" + display + ")";
    if (!wayland.empty()) reason += " (WAYLAND_DISPLAY=" + wayland + ")";
    return reason;
}
}  // namespace

int RunWindow(int argc, char** argv, const CommandLine& line) {
    const std::string program = ProgramName(argc, argv);
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (LacksDisplay(Environment, args)) {
        std::fputs(NoDisplayText(program, NoDisplayReason()).c_str(), stderr);
        return kNoDisplayStatus;
    }

    g_strUnreachableText = NoDisplayText(program, UnreachableReason());
    const QtMessageHandler previous = qInstallMessageHandler(OnStartupMessage);
    QApplication application(argc, argv);
    qInstallMessageHandler(previous);

    // QApplication adopts the user's locale; the chart labels are "%g" with a decimal point.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Varkel"));
    QApplication::setApplicationVersion(QString::fromUtf8(kVarkelVersion));
    QApplication::setDesktopFileName(QStringLiteral("varkel"));
    QApplication::setWindowIcon(ApplicationIcon());

    CVarkelApp theApp(line);
    if (!theApp.InitInstance()) return 1;
    const int status = application.exec();
    theApp.ExitInstance();
    return status;
}
