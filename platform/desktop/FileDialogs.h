#pragma once
// File dialogs as the program uses them. Each returns the chosen full path, or an empty
// string when the user cancels.

#include <QString>

class QWidget;

// Save mode: asks before replacing an existing file; a name typed without an extension is
// used as typed, unless defaultSuffix ("png", no dot) is given, which is then added.
// filter is a Qt name filter, e.g. "*.txt".
QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                        const QString& defaultSuffix = QString());

// Open mode: the file must exist.
QString AskOpenFileName(QWidget* parent, const QString& caption, const QString& filter);
