// The real dialogs behind UiPrompts, driven while they run modally: the data file's save
// dialog, the Setup dialog, and the warning box.

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

#include "TempDir.h"
#include "view/DialogPrompts.h"
#include "view/SetupDlg.h"

namespace {
// Runs handle on the modal dialog of type T once it is up.
template <typename T>
void WhenModal(std::function<void(T*)> handle) {
    QTimer::singleShot(0, [handle] {
        T* dialog = nullptr;
        QTRY_VERIFY((dialog = qobject_cast<T*>(QApplication::activeModalWidget())) != nullptr);
        handle(dialog);
    });
}
}  // namespace

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
    bool checked = false;
    WhenModal<QFileDialog>([&](QFileDialog* dialog) {
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(dialog->nameFilters(), QStringList{"*.txt"});
        QCOMPARE(dialog->defaultSuffix(), QString());
        QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
        checked = true;
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    QCOMPARE(QString::fromStdString(prompts.AskDataFileName()), path);  // no extension added
    QVERIFY(checked);
}

void DialogPromptsTest::saveDialogCancelled() {
    DialogPrompts prompts;
    WhenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    QCOMPARE(prompts.AskDataFileName(), std::string());
}

void DialogPromptsTest::setupDialogAnswers() {
    DialogPrompts prompts;
    WhenModal<CSetupDlg>([](CSetupDlg* dialog) {
        QCOMPARE(dialog->PortList()->currentText(), QString("COM2"));
        dialog->PortList()->setCurrentIndex(3);
        dialog->IntervalEdit()->setText("5");
        dialog->OkButton()->click();
    });
    int port = -1;
    int interval = -1;
    QVERIFY(prompts.AskSetup(&port, &interval));
    QCOMPARE(port, 3);
    QCOMPARE(interval, 5);

    // A new dialog each time: the defaults again, and Cancel answers false.
    WhenModal<CSetupDlg>([](CSetupDlg* dialog) {
        QCOMPARE(dialog->PortList()->currentText(), QString("COM2"));
        QCOMPARE(dialog->IntervalEdit()->text(), QString("2"));
        dialog->CancelButton()->click();
    });
    QVERIFY(!prompts.AskSetup(&port, &interval));
}

void DialogPromptsTest::warningBoxCarriesNameIconAndReason() {
    DialogPrompts prompts;
    bool checked = false;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
        QCOMPARE(box->windowTitle(), QString("Varkel"));
        QCOMPARE(box->icon(), QMessageBox::Warning);
        QCOMPARE(box->text(), QString("Can't open serial port"));
        QCOMPARE(box->informativeText(), QString("/dev/ttyS1: Permission denied"));
        QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
        checked = true;
        box->button(QMessageBox::Ok)->click();
    });
    prompts.ShowWarning("Varkel", "Can't open serial port", "/dev/ttyS1: Permission denied");
    QVERIFY(checked);
}

QTEST_MAIN(DialogPromptsTest)
#include "test_dialog_prompts.moc"
