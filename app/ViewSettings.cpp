#include "ViewSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QString>

namespace {
const char* const kLogImpedanceAxis = "Settings/LogImpedanceAxis";
}

bool ReadLogImpedanceAxis(const QString& profilePath) {
    const QSettings profile(profilePath, QSettings::IniFormat);
    return profile.value(QString::fromLatin1(kLogImpedanceAxis), false).toBool();
}

bool WriteLogImpedanceAxis(const QString& profilePath, bool on) {
    QDir().mkpath(QFileInfo(profilePath).absolutePath());
    QSettings profile(profilePath, QSettings::IniFormat);
    profile.setValue(QString::fromLatin1(kLogImpedanceAxis), on);
    profile.sync();
    return profile.status() == QSettings::NoError;
}
