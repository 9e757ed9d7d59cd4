#include "QtMessages.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>

namespace {
void OnQtMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtCriticalMsg && type != QtFatalMsg) return;
    std::fprintf(stderr, "Qt: %s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
}
}  // namespace

void FilterQtMessages() { qInstallMessageHandler(OnQtMessage); }
