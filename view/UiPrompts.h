#pragma once
// The questions and messages the window puts to the user, behind one interface so tests can
// answer them with a script instead of modal dialogs. DialogPrompts is the real one.

#include <string>

class UiPrompts {
public:
    virtual ~UiPrompts() = default;

    // Save-file dialog for the data file: filter "*.txt", asks before replacing a file, adds
    // no extension. The chosen full path, or empty when cancelled.
    virtual std::string AskDataFileName() = 0;

    // The Setup dialog. True on OK, with *nPort 0..3 (COM1..COM4) and *nInterval 2..600 s.
    virtual bool AskSetup(int* nPort, int* nInterval) = 0;

    // A modal warning with an OK button; detail is the system's reason, may be empty.
    virtual void ShowWarning(const std::string& caption, const std::string& text,
                             const std::string& detail) = 0;

    // A warning answered Yes or No (No the default). True for Yes.
    virtual bool AskYesNo(const std::string& caption, const std::string& text,
                          const std::string& detail) = 0;

    // The document's file dialogs (all files): a full path, or empty when cancelled.
    virtual std::string AskDocumentSaveName() = 0;
    virtual std::string AskDocumentOpenName() = 0;

    // Save-file dialog for a chart image: PNG images, asks before replacing a file, adds
    // ".png" to a name typed without an extension. A full path, or empty when cancelled.
    virtual std::string AskImageFileName() = 0;
};

// The application's name: the caption of its message boxes.
inline constexpr const char* kAppName = "Varkel";
