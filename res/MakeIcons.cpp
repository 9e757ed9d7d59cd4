// Writes the application icon as PNG files for installation: varkel-make-icons OUTDIR
// produces OUTDIR/<n>x<n>/varkel.png for the sizes a desktop looks for.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <cstdio>

#include "IconArt.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: varkel-make-icons OUTDIR\n");
        return 2;
    }
    // Fonts are not needed; painting into a QImage needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString out = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/%2x%2").arg(out).arg(size);
        if (!QDir().mkpath(dir) || !DrawApplicationIcon(size).save(dir + "/varkel.png")) {
            std::fprintf(stderr, "varkel-make-icons: cannot write %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
