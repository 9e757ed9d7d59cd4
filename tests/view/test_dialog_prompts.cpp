// The real dialogs behind UiPrompts, driven while they run modally: the data file's save
// dialog, the Setup dialog, and the warning box.

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "TempDir.h"
#include "WhenModal.h"
#include "view/DialogPrompts.h"
#include "view/SetupDlg.h"

class DialogPromptsTest : public QObject {
    Q_OBJECT
private slots:
    void saveDialogForTheDataFile();
    void saveDialogCancelled();
    void setupDialogAnswers();
    void warningBoxCarriesNameIconAndReason();
};

void DialogPromptsTest::saveDialogForTheDataFile() {
    TempDir dir;
    DialogPrompts prompts;
    const QString path = QString::fromStdString(dir.File("readings"));
    const WhenModal<QFileDialog> saveDialog([&](QFileDialog* dialog) {
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(dialog->nameFilters(), QStringList{"*.txt"});
        QCOMPARE(dialog->defaultSuffix(), QString());
        QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    QCOMPARE(QString::fromStdString(prompts.AskDataFileName()), path);  // no extension added
    QVERIFY(saveDialog.Checked());
}

void DialogPromptsTest::saveDialogCancelled() {
    DialogPrompts prompts;
    const WhenModal<QFileDialog> saveDialog([](QFileDialog* dialog) { dialog->reject(); });
    QCOMPARE(prompts.AskDataFileName(), std::string());
    QVERIFY(saveDialog.Checked());
}

void DialogPromptsTest::setupDialogAnswers() {
    DialogPrompts prompts;
    const WhenModal<CSetupDlg> first([](CSetupDlg* dialog) {
        QCOMPARE(dialog->PortList()->currentText(), QString("COM2"));
        dialog->PortList()->setCurrentIndex(3);
        dialog->IntervalEdit()->setText("5");
        dialog->OkButton()->click();
    });
    int port = -1;
    int interval = -1;
    QVERIFY(prompts.AskSetup(&port, &interval));
    QVERIFY(first.Checked());
    QCOMPARE(port, 3);
    QCOMPARE(interval, 5);

    // A new dialog each time: the defaults again, and Cancel answers false.
    const WhenModal<CSetupDlg> second([](CSetupDlg* dialog) {
        QCOMPARE(dialog->PortList()->currentText(), QString("COM2"));
        QCOMPARE(dialog->IntervalEdit()->text(), QString("2"));
        dialog->CancelButton()->click();
    });
    QVERIFY(!prompts.AskSetup(&port, &interval));
    QVERIFY(second.Checked());
}

void DialogPromptsTest::warningBoxCarriesNameIconAndReason() {
    DialogPrompts prompts;
    const WhenModal<QMessageBox> warning([](QMessageBox* box) {
        QCOMPARE(box->windowTitle(), QString("Varkel"));
        QCOMPARE(box->icon(), QMessageBox::Warning);
        QCOMPARE(box->text(), QString("Can't open serial port"));
        QCOMPARE(box->informativeText(), QString("/dev/ttyS1: Permission denied"));
        QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
        box->button(QMessageBox::Ok)->click();
    });
    prompts.ShowWarning("Varkel", "Can't open serial port", "/dev/ttyS1: Permission denied");
    QVERIFY(warning.Checked());
}

QTEST_MAIN(DialogPromptsTest)
#include "test_dialog_prompts.moc"
