#include "RecentFileList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {
const char* const kSection = "Recent File List";
QString Key(int n) { return QStringLiteral("File%1").arg(n); }
}  // namespace

RecentFileList::RecentFileList(QString iniPath) : m_strIniPath(std::move(iniPath)) {
    QSettings profile(m_strIniPath, QSettings::IniFormat);
    profile.beginGroup(QString::fromLatin1(kSection));
    for (int n = 1; n <= kMaxEntries; ++n) {
        const QString entry = profile.value(Key(n)).toString();
        if (!entry.isEmpty()) m_entries.append(entry);
    }
}

QString RecentFileList::DefaultProfilePath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty()) folder = QDir::homePath();
    QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (name.isEmpty()) name = QStringLiteral("varkel");
    return folder + QLatin1Char('/') + name + QStringLiteral(".ini");
}

void RecentFileList::Add(const QString& path) {
    const QString full = QFileInfo(path).absoluteFilePath();
    m_entries.removeAll(full);
    m_entries.prepend(full);
    while (m_entries.size() > kMaxEntries) m_entries.removeLast();
}

void RecentFileList::Remove(const QString& path) {
    m_entries.removeAll(QFileInfo(path).absoluteFilePath());
}

bool RecentFileList::Save() const {
    QDir().mkpath(QFileInfo(m_strIniPath).absolutePath());
    QSettings profile(m_strIniPath, QSettings::IniFormat);
    profile.beginGroup(QString::fromLatin1(kSection));
    for (int n = 1; n <= kMaxEntries; ++n) {
        if (n <= m_entries.size()) {
            profile.setValue(Key(n), m_entries[n - 1]);
        } else {
            profile.remove(Key(n));
        }
    }
    profile.endGroup();
    if (!profile.contains(QStringLiteral("Settings/PreviewPages"))) {
        profile.setValue(QStringLiteral("Settings/PreviewPages"), 0);
    }
    profile.sync();
    return profile.status() == QSettings::NoError;
}
