#include "SafeFileWrite.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>

namespace {
constexpr qint64 kCopyChunk = 1 << 20;

bool Fail(QString* error, const QString& path, const QString& reason) {
    if (error) *error = path + QStringLiteral(": ") + reason;
    return false;
}
}  // namespace

bool CopyFileSafely(const QString& from, const QString& to, QString* error) {
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) return Fail(error, from, source.errorString());
    // No direct-write fallback: a folder where no temporary file can be made refuses the
    // copy rather than overwrite the target in place.
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly)) return Fail(error, to, target.errorString());
    QByteArray chunk;
    while (!(chunk = source.read(kCopyChunk)).isEmpty()) {
        if (target.write(chunk) != chunk.size()) {
            const QString reason = target.errorString();
            target.cancelWriting();
            return Fail(error, to, reason);
        }
    }
    if (source.error() != QFileDevice::NoError) {
        target.cancelWriting();
        return Fail(error, from, source.errorString());
    }
    if (!target.commit()) return Fail(error, to, target.errorString());
    return true;
}

bool WritePngSafely(const QImage& image, const QString& path, QString* error) {
    QSaveFile target(path);
    if (!target.open(QIODevice::WriteOnly)) return Fail(error, path, target.errorString());
    QImageWriter writer(&target, "png");
    if (!writer.write(image)) {
        const QString reason = writer.errorString();
        target.cancelWriting();
        return Fail(error, path, reason);
    }
    if (!target.commit()) return Fail(error, path, target.errorString());
    return true;
}

bool IsSameFile(const QString& a, const QString& b) {
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return !canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath();
}
