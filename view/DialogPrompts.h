#pragma once
// UiPrompts with the real dialogs: QFileDialog, QMessageBox and CSetupDlg, owned by the
// given window.

#include "UiPrompts.h"

class QWidget;

class DialogPrompts final : public UiPrompts {
public:
    // The window that owns the dialogs; may be set later, null means none.
    void SetOwner(QWidget* owner) { m_pOwner = owner; }

    std::string AskDataFileName() override;
    bool AskSetup(int* nPort, int* nInterval) override;
    void ShowWarning(const std::string& caption, const std::string& text,
                     const std::string& detail) override;
    bool AskYesNo(const std::string& caption, const std::string& text,
                  const std::string& detail) override;
    std::string AskDocumentSaveName() override;
    std::string AskDocumentOpenName() override;
    std::string AskImageFileName() override;

private:
    QWidget* m_pOwner = nullptr;
};
