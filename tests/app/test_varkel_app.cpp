// CVarkelApp, CVarkelDoc and CAboutDlg: start-up (with a run, or a file that is none, named
// on the command line), the caption, New, Save of the empty document, the recent-file list
// in the profile, and the About box. Opening and saving runs: test_document.cpp.

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QtTest>

#include <filesystem>

#include "AppFixture.h"
#include "app/AboutDlg.h"
#include "app/CommandIds.h"
#include "app/CommandLine.h"
#include "app/MainFrame.h"
#include "app/RecentFileList.h"
#include "app/VarkelApp.h"
#include "app/VarkelDoc.h"
#include "measure/MeasurementRun.h"
#include "view/RecordedRun.h"
#include "view/VarkelView.h"

class VarkelAppTest : public QObject {
    Q_OBJECT
private slots:
    void startsUntitled();
    void documentOnTheCommandLineOpensItsRun();
    void fileOnTheCommandLineThatIsNoRunIsRefusedAndTheWindowOpensEmpty();
    void emptyDocumentIsSavedOnlyOverNothing();
    void saveCancelledChangesNothing();
    void newDuringARunLeavesTheRunAlone();
    void recentFilesKeepTheNewestFour();
    void exitDuringARunEndsIt();
    void aboutBoxShowsIconTextAndOk();
};

void VarkelAppTest::startsUntitled() {
    AppFixture f;
    QVERIFY(f.app->InitInstance());
    QVERIFY(f.app->MainFrame()->isVisible());
    QCOMPARE(f.Caption(), QString("Untitled - Varkel"));
    QCOMPARE(f.app->Document().Title(), QString("Untitled"));
    QVERIFY(f.prompts.warnings.empty());
}

void VarkelAppTest::documentOnTheCommandLineOpensItsRun() {
    TempDir docs;
    const std::string path = docs.File("sample.txt");
    const std::string bytes =
        "0 0.05 -12.5 2e-06 -40.25 25000 27.75\n"
        "2 0.06 -11.5 2e-06 -40.25 30000 28.75\n";
    { std::ofstream(path) << bytes; }
    AppFixture f(path);
    QVERIFY(f.app->InitInstance());
    QCOMPARE(f.Caption(), QString("sample.txt - Varkel"));
    QVERIFY(f.prompts.warnings.empty());
    const RecordedRun* shown = f.app->View()->ShownRun();
    QVERIFY(shown);
    QCOMPARE(shown->Count(), 2);
    QCOMPARE(shown->last.impedance, 30000.0);  // the status text's values: the last line
    QCOMPARE(shown->last.elapsedSeconds, 2.0);
    QCOMPARE(f.app->Records().store.count, 0);  // the live run's records are not touched
    QCOMPARE(ReadWholeFile(path), bytes);
    QCOMPARE(f.app->RecentFiles().Entries(), QStringList{f.Q(path)});
}

// A user who names a file that is not a run is told which line is wrong, and gets the
// window all the same, empty, to open another one: the program does not refuse to start.
void VarkelAppTest::fileOnTheCommandLineThatIsNoRunIsRefusedAndTheWindowOpensEmpty() {
    const std::string good = "0 0.05 -12.5 2e-06 -40.25 25000 27.75\n";
    struct Case {
        const char* name;
        const char* bytes;  // null: no such file
        std::string detailEnd;
    } const cases[] = {
        {"missing.txt", nullptr, "missing.txt: No such file or directory"},
        {"notes.txt", "anything at all\n", "line 1: field 1 \"anything\" is not a number"},
        {"short.txt", "0 1 2 3 4 5 6\n2 1 2 3 4 5\n", "line 2: expected seven numbers, found 6"},
        {"blank.txt", "0 1 2 3 4 5 6\n\n", "line 2: blank line; every line holds seven numbers"},
        {"image.png", "\x89PNG\r\n\x1a\n", "line 1: field 1 \"?PNG\" is not a number"},
        {"empty.txt", "", "the file holds no readings"},
    };
    for (const Case& c : cases) {
        TempDir docs;
        const std::string path = docs.File(c.name);
        if (c.bytes) std::ofstream(path, std::ios::binary) << c.bytes;
        AppFixture f(path);
        QVERIFY2(f.app->InitInstance(), c.name);
        QVERIFY(f.app->MainFrame()->isVisible());
        QCOMPARE(f.Caption(), QString("Untitled - Varkel"));
        QVERIFY(!f.app->View()->ShownRun());
        QCOMPARE(f.prompts.warnings.size(), std::size_t(1));
        const ShownWarning& warning = f.prompts.warnings[0];
        QCOMPARE(warning.caption, std::string("Varkel"));
        QCOMPARE(warning.text, "Can't open " + std::string(c.name) + ".");
        QVERIFY2(warning.detail.find(path) == 0, warning.detail.c_str());
        QVERIFY2(warning.detail.size() >= c.detailEnd.size() &&
                     warning.detail.compare(warning.detail.size() - c.detailEnd.size(),
                                            std::string::npos, c.detailEnd) == 0,
                 warning.detail.c_str());
        if (c.bytes) QCOMPARE(ReadWholeFile(path), std::string(c.bytes));
        QVERIFY(f.app->RecentFiles().Entries().isEmpty());
    }
}

// The empty document has nothing to save: it may make an empty file where there is none,
// never empty one that holds something.
void VarkelAppTest::emptyDocumentIsSavedOnlyOverNothing() {
    AppFixture f;
    QVERIFY(f.app->InitInstance());
    const std::string path = f.dir.File("doc.vk");
    f.prompts.documentSaveName = path;
    f.app->MainFrame()->Action(ID_FILE_SAVE)->trigger();
    QVERIFY(std::filesystem::exists(path));
    QCOMPARE(ReadWholeFile(path), std::string());
    QCOMPARE(f.Caption(), QString("doc.vk - Varkel"));
    QVERIFY(f.prompts.warnings.empty());

    // Titled now: Save does not ask again; the file meanwhile holds something: it stays.
    { std::ofstream(path) << "again\n"; }
    f.prompts.documentSaveName = f.dir.File("never-used");
    f.app->OnFileSave();
    QCOMPARE(ReadWholeFile(path), std::string("again\n"));
    QVERIFY(!std::filesystem::exists(f.dir.File("never-used")));
    QCOMPARE(f.prompts.warnings.size(), std::size_t(1));
    QCOMPARE(f.prompts.warnings[0].text, std::string("There is nothing to save."));
    QVERIFY(f.prompts.warnings[0].detail.find(path) != std::string::npos);
}

void VarkelAppTest::saveCancelledChangesNothing() {
    AppFixture f;
    QVERIFY(f.app->InitInstance());
    f.prompts.documentSaveName.clear();
    f.app->OnFileSave();
    QCOMPARE(f.Caption(), QString("Untitled - Varkel"));
    QVERIFY(f.prompts.warnings.empty());

    f.prompts.documentSaveName = f.dir.File("no-folder/doc.vk");
    f.app->OnFileSave();
    QCOMPARE(f.prompts.warnings.size(), std::size_t(1));
    QCOMPARE(f.prompts.warnings[0].text, std::string("Failed to save document."));
    QCOMPARE(f.Caption(), QString("Untitled - Varkel"));
}

void VarkelAppTest::newDuringARunLeavesTheRunAlone() {
    AppFixture f;
    QVERIFY(f.app->InitInstance());
    f.prompts.documentSaveName = f.dir.File("doc.vk");
    f.app->OnFileSave();
    f.prompts.dataFileName = f.dir.File("run.txt");
    f.app->View()->OnMeasurementStart();
    f.app->View()->OnTimer();
    f.app->View()->OnTimer();
    const Readings before = f.app->Records().readings;

    f.app->MainFrame()->Action(ID_FILE_NEW)->trigger();
    QCOMPARE(f.Caption(), QString("Untitled - Varkel"));
    QVERIFY(f.app->Run().IsMeasuring());
    QCOMPARE(f.app->Records().store.count, 1);
    QCOMPARE(f.app->Records().readings.voltage, before.voltage);
    QCOMPARE(f.app->Run().m_strDataFile, f.dir.File("run.txt"));
}

void VarkelAppTest::recentFilesKeepTheNewestFour() {
    TempDir dir;
    const QString ini = QString::fromStdString(dir.File("varkel.ini"));
    {
        RecentFileList recent(ini);
        for (const char* name : {"a", "b", "c", "d", "e", "c"}) {
            recent.Add(QString::fromStdString(dir.File(name)));
        }
        QVERIFY(recent.Save());
    }
    RecentFileList reread(ini);
    const QStringList expected = {
        QString::fromStdString(dir.File("c")), QString::fromStdString(dir.File("e")),
        QString::fromStdString(dir.File("d")), QString::fromStdString(dir.File("b"))};
    QCOMPARE(reread.Entries(), expected);
    QSettings profile(ini, QSettings::IniFormat);
    QCOMPARE(profile.value("Recent File List/File1").toString(), expected[0]);
    QCOMPARE(profile.value("Recent File List/File4").toString(), expected[3]);
    QVERIFY(!profile.contains("Recent File List/File5"));
    QVERIFY(RecentFileList::DefaultProfilePath().endsWith(".ini"));

    // The application keeps the documents it saved or opened.
    AppFixture f;
    QVERIFY(f.app->InitInstance());
    f.prompts.documentSaveName = f.dir.File("doc.vk");
    f.app->OnFileSave();
    f.app->ExitInstance();
    QCOMPARE(RecentFileList(f.Q(f.dir.File("varkel.ini"))).Entries(),
             QStringList{f.Q(f.dir.File("doc.vk"))});
}

void VarkelAppTest::exitDuringARunEndsIt() {
    AppFixture f;
    QVERIFY(f.app->InitInstance());
    f.prompts.dataFileName = f.dir.File("run.txt");
    f.app->View()->OnMeasurementStart();
    QVERIFY(f.line->open);
    f.app->MainFrame()->Action(ID_APP_EXIT)->trigger();
    QVERIFY(!f.app->MainFrame()->isVisible());
    QVERIFY(!f.line->open);
    QCOMPARE(f.line->wire, std::string("LOCL 1\rLOCL 0\r"));
    QVERIFY(f.prompts.questions.empty());
}

void VarkelAppTest::aboutBoxShowsIconTextAndOk() {
    CAboutDlg about;
    QCOMPARE(about.windowTitle(), QString("About Varkel"));
    QCOMPARE(about.TextLabel()->text(), QString("Varkel Impedance meter"));
    QVERIFY(!about.IconLabel()->pixmap().isNull());
    QCOMPARE(about.OkButton()->text(), QString("OK"));
    QVERIFY(about.OkButton()->isDefault());

    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QTest::mouseClick(about.OkButton(), Qt::LeftButton);
    QCOMPARE(about.result(), int(QDialog::Accepted));
    QVERIFY(!about.isVisible());

    about.show();
    QTest::keyClick(&about, Qt::Key_Escape);
    QVERIFY(!about.isVisible());
}

QTEST_MAIN(VarkelAppTest)
#include "test_varkel_app.moc"
