#pragma once
// UiPrompts answered by the test: the next file name, the Setup dialog's answer, the Yes/No
// answer; every warning is recorded instead of shown.

#include <string>
#include <vector>

#include "view/UiPrompts.h"

struct ShownWarning {
    std::string caption;
    std::string text;
    std::string detail;
};

class ScriptedPrompts final : public UiPrompts {
public:
    std::string dataFileName;                    // empty: the save dialog is cancelled
    std::vector<std::string> nextDataFileNames;  // answered first, in order, before dataFileName
    bool setupAccepted = true;
    int setupPort = 1;
    int setupInterval = 2;
    bool yesNoAnswer = false;
    std::string documentSaveName;  // empty: cancelled
    std::string documentOpenName;
    std::string imageFileName;  // empty: cancelled

    int dataFileAsked = 0;
    int setupAsked = 0;
    std::vector<ShownWarning> warnings;
    std::vector<ShownWarning> questions;

    std::string AskDataFileName() override {
        ++dataFileAsked;
        if (nextDataFileNames.empty()) return dataFileName;
        const std::string name = nextDataFileNames.front();
        nextDataFileNames.erase(nextDataFileNames.begin());
        return name;
    }
    bool AskSetup(int* nPort, int* nInterval) override {
        ++setupAsked;
        if (!setupAccepted) return false;
        *nPort = setupPort;
        *nInterval = setupInterval;
        return true;
    }
    void ShowWarning(const std::string& caption, const std::string& text,
                     const std::string& detail) override {
        warnings.push_back({caption, text, detail});
    }
    bool AskYesNo(const std::string& caption, const std::string& text,
                  const std::string& detail) override {
        questions.push_back({caption, text, detail});
        return yesNoAnswer;
    }
    std::string AskDocumentSaveName() override { return documentSaveName; }
    std::string AskDocumentOpenName() override { return documentOpenName; }
    std::string AskImageFileName() override { return imageFileName; }
};
