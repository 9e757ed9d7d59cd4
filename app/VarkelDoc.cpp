#include "VarkelDoc.h"

#include <QFile>
#include <QFileInfo>

#include "RecentFileList.h"
#include "view/UiPrompts.h"

CVarkelDoc::CVarkelDoc(UiPrompts& prompts, RecentFileList* recent, QObject* parent)
    : QObject(parent), m_prompts(prompts), m_pRecent(recent) {}

QString CVarkelDoc::Title() const {
    return m_strPathName.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(m_strPathName).fileName();
}

void CVarkelDoc::SetPathName(const QString& path) {
    m_strPathName = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    if (m_pRecent && !m_strPathName.isEmpty()) m_pRecent->Add(m_strPathName);
    emit titleChanged(Title());
}

bool CVarkelDoc::OnNewDocument() {
    SetPathName(QString());
    return true;
}

bool CVarkelDoc::OnOpenDocument(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = path + QStringLiteral(": ") + file.errorString();
        return false;
    }
    SetPathName(path);
    return true;
}

bool CVarkelDoc::OnSaveDocument(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error) *error = path + QStringLiteral(": ") + file.errorString();
        return false;
    }
    file.close();
    SetPathName(path);
    return true;
}

void CVarkelDoc::OnFileOpen() {
    const QString path = QString::fromStdString(m_prompts.AskDocumentOpenName());
    if (path.isEmpty()) return;
    QString error;
    if (!OnOpenDocument(path, &error)) {
        m_prompts.ShowWarning(kAppName, "Failed to open document.", error.toStdString());
    }
}

void CVarkelDoc::OnFileSave() {
    QString path = m_strPathName;
    if (path.isEmpty()) path = QString::fromStdString(m_prompts.AskDocumentSaveName());
    if (path.isEmpty()) return;
    QString error;
    if (!OnSaveDocument(path, &error)) {
        m_prompts.ShowWarning(kAppName, "Failed to save document.", error.toStdString());
    }
}
