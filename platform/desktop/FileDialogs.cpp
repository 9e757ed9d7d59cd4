#include "FileDialogs.h"

#include <QFileDialog>
#include <QString>

QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                        const QString& defaultSuffix) {
    // QFileDialog asks before overwriting by default, also for a name it completed.
    QFileDialog dialog(parent, caption, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

QString AskOpenFileName(QWidget* parent, const QString& caption, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}
