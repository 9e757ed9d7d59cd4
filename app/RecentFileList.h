#pragma once
// The recent-file list kept in the program's profile: an INI file named after the
// executable in the user's configuration folder, section "Recent File List", keys
// File1..File4, newest first. The File menu shows it; Open, Save and a run's start add to it.

#include <QString>
#include <QStringList>

class RecentFileList {
public:
    static constexpr int kMaxEntries = 4;

    // iniPath: the profile file. Reads the list at once.
    explicit RecentFileList(QString iniPath);

    // The profile of this executable: <user configuration folder>/<executable name>.ini.
    static QString DefaultProfilePath();

    // Puts path first, dropping an older entry of the same file and the oldest beyond 4.
    void Add(const QString& path);
    // Drops path's entry, if there is one.
    void Remove(const QString& path);
    const QStringList& Entries() const { return m_entries; }
    // Writes the list (and the framework-style "Settings/PreviewPages") to the profile.
    bool Save() const;
    const QString& ProfilePath() const { return m_strIniPath; }

private:
    QString m_strIniPath;
    QStringList m_entries;
};
