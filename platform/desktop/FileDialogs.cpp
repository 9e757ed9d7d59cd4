#include "FileDialogs.h"

#include <QFileDialog>
#include <QString>

QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& filter) {
    // QFileDialog asks before overwriting by default and sets no default suffix.
    QFileDialog dialog(parent, caption, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

QString AskOpenFileName(QWidget* parent, const QString& caption, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}
