// CSetupDlg: defaults, texts, tab order, and the checks OK makes before it closes.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "view/SetupDlg.h"

namespace {
// The next widget the Tab key reaches: labels and other widgets without tab focus are skipped.
QWidget* NextTabStop(QWidget* widget) {
    QWidget* next = widget->nextInFocusChain();
    while (next != widget && !(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
    return next;
}
}  // namespace

class SetupDlgTest : public QObject {
    Q_OBJECT
private slots:
    void opensWithCom2AndTwoSeconds();
    void tabsThroughOkCancelPortInterval();
    void okChecksTheInterval_data();
    void okChecksTheInterval();
    void com4GivesPortThree();
    void cancelClosesWithoutChecking();
};

void SetupDlgTest::opensWithCom2AndTwoSeconds() {
    CSetupDlg dlg;
    QCOMPARE(dlg.windowTitle(), QString("Setup"));
    QCOMPARE(dlg.PortList()->count(), 4);
    QCOMPARE(dlg.PortList()->itemText(0), QString("COM1"));
    QCOMPARE(dlg.PortList()->itemText(3), QString("COM4"));
    QCOMPARE(dlg.PortList()->currentText(), QString("COM2"));
    QVERIFY(!dlg.PortList()->isEditable());
    QCOMPARE(dlg.IntervalEdit()->text(), QString("2"));
    QCOMPARE(dlg.OkButton()->text(), QString("OK"));
    QCOMPARE(dlg.CancelButton()->text(), QString("Cancel"));
    QVERIFY(dlg.OkButton()->isDefault());
    QStringList labels;
    for (QLabel* label : dlg.findChildren<QLabel*>()) labels << label->text();
    QVERIFY(labels.contains("Communication port"));
    QVERIFY(labels.contains("Sampling interval"));
    QVERIFY(labels.contains("s"));
}

void SetupDlgTest::tabsThroughOkCancelPortInterval() {
    CSetupDlg dlg;
    QCOMPARE(NextTabStop(dlg.OkButton()), static_cast<QWidget*>(dlg.CancelButton()));
    QCOMPARE(NextTabStop(dlg.CancelButton()), static_cast<QWidget*>(dlg.PortList()));
    QCOMPARE(NextTabStop(dlg.PortList()), static_cast<QWidget*>(dlg.IntervalEdit()));
    QCOMPARE(NextTabStop(dlg.IntervalEdit()), static_cast<QWidget*>(dlg.OkButton()));
}

void SetupDlgTest::okChecksTheInterval_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");  // empty: accepted
    QTest::addColumn<int>("interval");
    const QString notInteger = "Please enter an integer.";
    const QString outOfRange = "Please enter an integer between 2 and 600.";
    QTest::newRow("lowest") << "2"
                            << "" << 2;
    QTest::newRow("highest") << "600"
                             << "" << 600;
    QTest::newRow("blanks around") << "  10\t"
                                   << "" << 10;
    QTest::newRow("plus sign") << "+30"
                               << "" << 30;
    QTest::newRow("one") << "1" << outOfRange << 0;
    QTest::newRow("601") << "601" << outOfRange << 0;
    QTest::newRow("zero passes the integer test") << "0" << outOfRange << 0;
    QTest::newRow("negative") << "-5" << outOfRange << 0;
    QTest::newRow("huge") << "99999999999999999999" << outOfRange << 0;
    QTest::newRow("unit typed") << "10s" << notInteger << 0;
    QTest::newRow("letters") << "abc" << notInteger << 0;
    QTest::newRow("empty") << "" << notInteger << 0;
    QTest::newRow("decimal") << "2.5" << notInteger << 0;
    QTest::newRow("inner blank") << "1 0" << notInteger << 0;
}

void SetupDlgTest::okChecksTheInterval() {
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(int, interval);

    CSetupDlg dlg;
    QStringList shown;
    dlg.SetMessageSink([&](const QString& text) { shown << text; });
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    dlg.OkButton()->setFocus();
    dlg.IntervalEdit()->setText(typed);
    QTest::mouseClick(dlg.OkButton(), Qt::LeftButton);

    if (message.isEmpty()) {
        QVERIFY(shown.isEmpty());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.m_nInterval, interval);
        QCOMPARE(dlg.m_nPort, 1);
    } else {
        QCOMPARE(shown, QStringList{message});
        QVERIFY(dlg.isVisible());  // stays open for a correction
        QCOMPARE(dlg.focusWidget(), static_cast<QWidget*>(dlg.IntervalEdit()));
        QCOMPARE(dlg.m_nInterval, 2);  // members untouched
    }
}

void SetupDlgTest::com4GivesPortThree() {
    CSetupDlg dlg;
    dlg.show();
    dlg.PortList()->setCurrentIndex(3);
    dlg.IntervalEdit()->setText("600");
    QTest::mouseClick(dlg.OkButton(), Qt::LeftButton);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(dlg.m_nPort, 3);
    QCOMPARE(dlg.m_nInterval, 600);
}

void SetupDlgTest::cancelClosesWithoutChecking() {
    CSetupDlg dlg;
    int messages = 0;
    dlg.SetMessageSink([&](const QString&) { ++messages; });
    dlg.show();
    dlg.IntervalEdit()->setText("abc");
    QTest::mouseClick(dlg.CancelButton(), Qt::LeftButton);
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
    QCOMPARE(messages, 0);
    QVERIFY(!dlg.isVisible());
}

QTEST_MAIN(SetupDlgTest)
#include "test_setup_dlg.moc"
