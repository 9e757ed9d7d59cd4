#pragma once
// Modal message boxes as the program shows them: a caption, the warning icon, an OK
// button, and optionally the system's reason as detail a person can unfold.

class QString;
class QWidget;

void ShowWarningBox(QWidget* parent, const QString& caption, const QString& text,
                    const QString& detail);

// A warning with Yes and No, No the default. True when the user answers Yes.
bool AskWarningQuestion(QWidget* parent, const QString& caption, const QString& text,
                        const QString& detail);
