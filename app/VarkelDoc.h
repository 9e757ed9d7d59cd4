#pragma once
// CVarkelDoc: the window's document. It holds no data: the measurement keeps its records
// elsewhere. It has a title (the caption shows it) and a path; New empties the path, Open
// takes a file's name without reading it, Save writes an empty file.

#include <QObject>
#include <QString>

class RecentFileList;
class UiPrompts;

class CVarkelDoc : public QObject {
    Q_OBJECT
public:
    // recent may be null; prompts answers the file dialogs and shows failures.
    CVarkelDoc(UiPrompts& prompts, RecentFileList* recent, QObject* parent = nullptr);

    // "Untitled" until a file is named, then the file's name without its folder.
    QString Title() const;
    const QString& PathName() const { return m_strPathName; }

    // New: no path, "Untitled". Always succeeds.
    bool OnNewDocument();
    // The file must be readable; nothing of it is read. False (and why in *error) otherwise.
    bool OnOpenDocument(const QString& path, QString* error);
    // Writes an empty file at path, replacing one of that name.
    bool OnSaveDocument(const QString& path, QString* error);

    // The commands: Open and Save ask for a name (Save only while untitled) and report a
    // failure to the user.
    void OnFileOpen();
    void OnFileSave();

signals:
    void titleChanged(const QString& title);

private:
    void SetPathName(const QString& path);

    UiPrompts& m_prompts;
    RecentFileList* m_pRecent;
    QString m_strPathName;
};
