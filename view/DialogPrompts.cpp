#include "DialogPrompts.h"

#include <QString>

#include "SetupDlg.h"
#include "platform/desktop/FileDialogs.h"
#include "platform/desktop/MessageBoxes.h"

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }
const char* const kAllFiles = "All Files (*)";
}  // namespace

std::string DialogPrompts::AskDataFileName() {
    return S(AskSaveFileName(m_pOwner, QString(), QStringLiteral("*.txt")));
}

bool DialogPrompts::AskSetup(int* nPort, int* nInterval) {
    CSetupDlg dialog(m_pOwner);  // a new one each time: it always opens with its defaults
    if (dialog.exec() != QDialog::Accepted) return false;
    *nPort = dialog.m_nPort;
    *nInterval = dialog.m_nInterval;
    return true;
}

void DialogPrompts::ShowWarning(const std::string& caption, const std::string& text,
                                const std::string& detail) {
    ShowWarningBox(m_pOwner, Q(caption), Q(text), Q(detail));
}

bool DialogPrompts::AskYesNo(const std::string& caption, const std::string& text,
                             const std::string& detail) {
    return AskWarningQuestion(m_pOwner, Q(caption), Q(text), Q(detail));
}

std::string DialogPrompts::AskDocumentSaveName() {
    return S(AskSaveFileName(m_pOwner, QStringLiteral("Save As"), QString::fromLatin1(kAllFiles)));
}

std::string DialogPrompts::AskImageFileName() {
    return S(AskSaveFileName(m_pOwner, QStringLiteral("Export Chart Image"),
                             QStringLiteral("PNG images (*.png)"), QStringLiteral("png")));
}

std::string DialogPrompts::AskDocumentOpenName() {
    return S(AskOpenFileName(m_pOwner, QStringLiteral("Open"), QString::fromLatin1(kAllFiles)));
}
