#pragma once
// The string table's command texts: for each command a prompt for the status bar's message
// pane and a tooltip for its toolbar button. Commands without strings have neither.

#include <QString>

struct CommandStrings {
    QString prompt;   // empty: the message pane shows nothing while the command is pointed at
    QString tooltip;  // empty: the button has no tooltip
};

CommandStrings CommandStringsFor(int commandId);

// The message pane's text when nothing else is shown.
inline QString IdleMessage() { return QStringLiteral("Ready"); }
