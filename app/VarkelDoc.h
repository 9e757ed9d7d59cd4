#pragma once
// CVarkelDoc: the window's document. Its content is a recorded run: a data file opened
// through Open, the recent files, the command line or a drop, or the run recorded in this
// window once it has ended. It has a title (the caption shows it) and a path. Save and
// Save As copy the run's data file byte for byte; they never put an empty document over a
// file that holds data.

#include <QObject>
#include <QString>

#include <memory>

class RecentFileList;
class UiPrompts;
struct RecordedRun;

class CVarkelDoc : public QObject {
    Q_OBJECT
public:
    // recent may be null; prompts answers the file dialogs and shows failures.
    CVarkelDoc(UiPrompts& prompts, RecentFileList* recent, QObject* parent = nullptr);
    ~CVarkelDoc() override;

    // "Untitled" until a file is named, then the file's name without its folder.
    QString Title() const;
    const QString& PathName() const { return m_strPathName; }

    // The data file whose bytes are the document's content; empty while there is nothing
    // to save (no run, or a run still recording).
    const QString& RunFile() const { return m_strRunFile; }
    // A run is recording into the document's file; it becomes the content when it ends.
    bool IsRecording() const { return m_bRecording; }
    // The samples of an opened run; null otherwise (a run recorded here is in the live
    // run's records).
    const std::shared_ptr<const RecordedRun>& OpenedRun() const { return m_pOpenedRun; }

    // New: no path, "Untitled", nothing to save. Always succeeds. An opened run leaves the
    // charts, which show the live run's records again.
    bool OnNewDocument();
    // Reads path as a data file. On success it is the document and the charts show it; on
    // failure nothing changes and *error says why (the first bad line, or the system's
    // reason), naming the file.
    bool OnOpenDocument(const QString& path, QString* error);

    enum class SaveResult {
        Saved,          // path now holds the document's content (or, without content, is empty)
        Unchanged,      // path is the run's own data file: left as it is
        NothingToSave,  // no content and path holds data: left as it is
        Recording,      // the run is still recording: nothing written
        Failed,         // *error says why; path is as it was
    };
    // Writes the document to path: a byte-identical copy of the run's data file through a
    // temporary file beside path, synced and renamed over it. Without content only a
    // missing or empty file is written (empty), so data are never replaced by nothing.
    SaveResult OnSaveDocument(const QString& path, QString* error);

    // The commands: they ask for names, and tell the user of failures and of nothing to save.
    void OnFileOpen();
    // The recent file at index (0 newest); one that cannot be opened leaves the list.
    void OnOpenRecentFile(int index);
    // Open for a file named by other means (command line, drop).
    void OpenFile(const QString& path);
    void OnFileSave();
    void OnFileSaveAs();

    // The window's run has begun recording into dataFile: the document follows it, under
    // its name, and has nothing to save until it ends.
    void OnRunStarted(const QString& dataFile);
    // The run recording into dataFile has ended: its data file is the content now, unless
    // the document has been renewed since it began.
    void OnRunEnded(const QString& dataFile);

signals:
    void titleChanged(const QString& title);
    // What the charts should show: run, or (null) the live run's records.
    void shownRunChanged(std::shared_ptr<const RecordedRun> run);
    // The recent-file list gained or lost an entry.
    void recentFilesChanged();

private:
    void SetPathName(const QString& path);
    void SetContent(const QString& runFile, std::shared_ptr<const RecordedRun> opened);
    void SaveWithReport(const QString& path);
    bool OpenWithReport(const QString& path);

    UiPrompts& m_prompts;
    RecentFileList* m_pRecent;
    QString m_strPathName;
    QString m_strRunFile;
    bool m_bRecording = false;
    std::shared_ptr<const RecordedRun> m_pOpenedRun;
};
