#include "MessageBoxes.h"

#include <QMessageBox>
#include <QString>

namespace {
void Prepare(QMessageBox& box, const QString& caption, const QString& text, const QString& detail) {
    box.setIcon(QMessageBox::Warning);
    box.setWindowTitle(caption);
    box.setText(text);
    if (!detail.isEmpty()) box.setInformativeText(detail);
}
}  // namespace

void ShowWarningBox(QWidget* parent, const QString& caption, const QString& text,
                    const QString& detail) {
    QMessageBox box(parent);
    Prepare(box, caption, text, detail);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

bool AskWarningQuestion(QWidget* parent, const QString& caption, const QString& text,
                        const QString& detail) {
    QMessageBox box(parent);
    Prepare(box, caption, text, detail);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}
