#pragma once
// UiPrompts that answer the first Start by themselves: the data file given, COM2, 2 s. Every
// other question goes to the prompts wrapped. For demonstrations and screenshots
// (VARKEL_DEMO_START=FILE starts a run this way once the window is up).

#include <string>

#include "view/UiPrompts.h"

class DemoPrompts final : public UiPrompts {
public:
    DemoPrompts(UiPrompts& real, std::string dataFile) : m_real(real), m_dataFile(std::move(dataFile)) {}

    std::string AskDataFileName() override;
    bool AskSetup(int* nPort, int* nInterval) override;
    void ShowWarning(const std::string& caption, const std::string& text,
                     const std::string& detail) override {
        m_real.ShowWarning(caption, text, detail);
    }
    bool AskYesNo(const std::string& caption, const std::string& text,
                  const std::string& detail) override {
        return m_real.AskYesNo(caption, text, detail);
    }
    std::string AskDocumentSaveName() override { return m_real.AskDocumentSaveName(); }
    std::string AskDocumentOpenName() override { return m_real.AskDocumentOpenName(); }
    std::string AskImageFileName() override { return m_real.AskImageFileName(); }

private:
    UiPrompts& m_real;
    std::string m_dataFile;
    bool m_bFileAnswered = false;
    bool m_bSetupAnswered = false;
};
