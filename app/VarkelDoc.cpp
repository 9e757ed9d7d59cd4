#include "VarkelDoc.h"

#include <QCursor>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include "RecentFileList.h"
#include "platform/SafeFileWrite.h"
#include "view/RecordedRun.h"
#include "view/UiPrompts.h"

namespace {
std::string S(const QString& s) { return s.toStdString(); }

QString Absolute(const QString& path) {
    return path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
}

QString DescribeRefusal(const QString& path, const RecordedRunLoad& load) {
    const QString reason = QString::fromStdString(load.error);
    if (load.readFailed) return path + QStringLiteral(": ") + reason;
    return path + QStringLiteral(" is not a data file of seven numbers per line: ") + reason;
}
}  // namespace

CVarkelDoc::CVarkelDoc(UiPrompts& prompts, RecentFileList* recent, QObject* parent)
    : QObject(parent), m_prompts(prompts), m_pRecent(recent) {}

CVarkelDoc::~CVarkelDoc() = default;

QString CVarkelDoc::Title() const {
    return m_strPathName.isEmpty() ? QStringLiteral("Untitled")
                                   : QFileInfo(m_strPathName).fileName();
}

void CVarkelDoc::SetPathName(const QString& path) {
    m_strPathName = Absolute(path);
    if (m_pRecent && !m_strPathName.isEmpty()) {
        m_pRecent->Add(m_strPathName);
        emit recentFilesChanged();
    }
    emit titleChanged(Title());
}

void CVarkelDoc::SetContent(const QString& runFile, std::shared_ptr<const RecordedRun> opened) {
    m_strRunFile = Absolute(runFile);
    if (opened == m_pOpenedRun) return;
    m_pOpenedRun = std::move(opened);
    emit shownRunChanged(m_pOpenedRun);
}

bool CVarkelDoc::OnNewDocument() {
    m_bRecording = false;
    SetContent(QString(), nullptr);
    SetPathName(QString());
    return true;
}

bool CVarkelDoc::OnOpenDocument(const QString& path, QString* error) {
    const RecordedRunLoad load = LoadRecordedRun(QFile::encodeName(path).toStdString());
    if (!load.run) {
        if (error) *error = DescribeRefusal(path, load);
        return false;
    }
    m_bRecording = false;
    SetContent(path, load.run);
    SetPathName(path);
    return true;
}

CVarkelDoc::SaveResult CVarkelDoc::OnSaveDocument(const QString& path, QString* error) {
    if (m_bRecording) return SaveResult::Recording;
    const QFileInfo target(path);
    const QFileInfo content(m_strRunFile);
    if (m_strRunFile.isEmpty() || (content.exists() && content.size() == 0)) {
        // Nothing but an empty file to write: never over one that holds anything.
        if (target.exists() && target.size() > 0) return SaveResult::NothingToSave;
        if (!target.exists()) {
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
                if (error) *error = path + QStringLiteral(": ") + file.errorString();
                return SaveResult::Failed;
            }
        }
        SetPathName(path);
        return SaveResult::Saved;
    }
    if (IsSameFile(m_strRunFile, path)) {
        SetPathName(path);
        return SaveResult::Unchanged;
    }
    if (!CopyFileSafely(m_strRunFile, path, error)) return SaveResult::Failed;
    // From now on the copy is the document, as after Save As in any program.
    SetContent(path, m_pOpenedRun);
    SetPathName(path);
    return SaveResult::Saved;
}

bool CVarkelDoc::OpenWithReport(const QString& path) {
    QString error;
    // A week's run takes a moment to read.
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    const bool opened = OnOpenDocument(path, &error);
    QGuiApplication::restoreOverrideCursor();
    if (opened) return true;
    m_prompts.ShowWarning(
        kAppName, S(QStringLiteral("Can't open %1.").arg(QFileInfo(path).fileName())), S(error));
    return false;
}

void CVarkelDoc::OpenFile(const QString& path) { OpenWithReport(path); }

void CVarkelDoc::OnFileOpen() {
    const QString path = QString::fromStdString(m_prompts.AskDocumentOpenName());
    if (path.isEmpty()) return;
    OpenWithReport(path);
}

void CVarkelDoc::OnOpenRecentFile(int index) {
    if (!m_pRecent || index < 0 || index >= m_pRecent->Entries().size()) return;
    const QString path = m_pRecent->Entries()[index];
    if (OpenWithReport(path)) return;
    m_pRecent->Remove(path);
    emit recentFilesChanged();
}

void CVarkelDoc::SaveWithReport(const QString& path) {
    QString error;
    switch (OnSaveDocument(path, &error)) {
        case SaveResult::Saved:
        case SaveResult::Unchanged: return;
        case SaveResult::NothingToSave:
            m_prompts.ShowWarning(kAppName, "There is nothing to save.",
                                  S(QStringLiteral("No run with readings is open, and %1 already "
                                                   "holds data; it has been left as it was.")
                                        .arg(path)));
            return;
        case SaveResult::Recording:
            m_prompts.ShowWarning(kAppName, "The run is still being recorded.",
                                  S(QStringLiteral("Stop the measurement, then save a copy of %1.")
                                        .arg(m_strPathName)));
            return;
        case SaveResult::Failed:
            m_prompts.ShowWarning(kAppName, "Failed to save document.", S(error));
            return;
    }
}

void CVarkelDoc::OnFileSave() {
    if (m_bRecording) {
        SaveWithReport(m_strPathName);
        return;
    }
    QString path = m_strPathName;
    if (path.isEmpty()) path = QString::fromStdString(m_prompts.AskDocumentSaveName());
    if (path.isEmpty()) return;
    SaveWithReport(path);
}

void CVarkelDoc::OnFileSaveAs() {
    if (m_bRecording) {
        SaveWithReport(m_strPathName);
        return;
    }
    const QString path = QString::fromStdString(m_prompts.AskDocumentSaveName());
    if (path.isEmpty()) return;
    SaveWithReport(path);
}

void CVarkelDoc::OnRunStarted(const QString& dataFile) {
    SetContent(QString(), nullptr);
    m_bRecording = true;
    SetPathName(dataFile);
}

void CVarkelDoc::OnRunEnded(const QString& dataFile) {
    if (!m_bRecording || m_strPathName != Absolute(dataFile)) return;
    m_bRecording = false;
    m_strRunFile = m_strPathName;
}
