// CVarkelApp, CVarkelDoc and CAboutDlg: start-up, the caption, the document's New, Open and
// Save, the recent-file list in the profile, and the About box.

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QtTest>

#include <filesystem>

#include "ViewFixture.h"
#include "app/AboutDlg.h"
#include "app/CommandIds.h"
#include "app/CommandLine.h"
#include "app/MainFrame.h"
#include "app/RecentFileList.h"
#include "app/VarkelApp.h"
#include "app/VarkelDoc.h"
#include "measure/MeasurementRun.h"
#include "view/VarkelView.h"

namespace {

struct AppFixture {
    explicit AppFixture(const std::string& documentFile = std::string())
        : line(std::make_shared<FakeLine>()), factory(line, &clock) {
        line->responder = Amplifier("0.5", "-12.5", "0.02", "-40.25");
        command.documentFile = documentFile;
        app = std::make_unique<CVarkelApp>(command, clock, factory, prompts,
                                           QString::fromStdString(dir.File("varkel.ini")));
    }
    QString Caption() const { return app->MainFrame()->windowTitle(); }
    QString Q(const std::string& s) const { return QString::fromStdString(s); }

    TempDir dir;
    FakeClock clock;
    std::shared_ptr<FakeLine> line;
    FakePortFactory factory;
    ScriptedPrompts prompts;
    CommandLine command;
    std::unique_ptr<CVarkelApp> app;
};

}  // namespace

class VarkelAppTest : public QObject {
    Q_OBJECT
private slots:
    void startsUntitled();
    void documentOnTheCommandLineNamesTheWindow();
    void documentThatCannotBeOpenedEndsStartUp();
    void saveAsksForANameOnceAndWritesAnEmptyFile();
    void saveCancelledChangesNothing();
    void newDuringARunLeavesTheRunAlone();
    void openTakesTheNameAndReadsNothing();
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

void VarkelAppTest::documentOnTheCommandLineNamesTheWindow() {
    TempDir docs;
    const std::string path = docs.File("sample.dat");
    { std::ofstream(path) << "anything at all\n"; }
    AppFixture f(path);
    QVERIFY(f.app->InitInstance());
    QCOMPARE(f.Caption(), QString("sample.dat - Varkel"));
    QCOMPARE(ReadWholeFile(path), std::string("anything at all\n"));  // nothing read or written
}

void VarkelAppTest::documentThatCannotBeOpenedEndsStartUp() {
    TempDir docs;
    AppFixture f(docs.File("missing.dat"));
    QVERIFY(!f.app->InitInstance());
    QCOMPARE(f.prompts.warnings.size(), std::size_t(1));
    QCOMPARE(f.prompts.warnings[0].caption, std::string("Varkel"));
    QVERIFY(f.prompts.warnings[0].detail.find("missing.dat") != std::string::npos);
}

void VarkelAppTest::saveAsksForANameOnceAndWritesAnEmptyFile() {
    AppFixture f;
    QVERIFY(f.app->InitInstance());
    const std::string path = f.dir.File("doc.vk");
    { std::ofstream(path) << "old\n"; }
    f.prompts.documentSaveName = path;
    f.app->MainFrame()->Action(ID_FILE_SAVE)->trigger();
    QCOMPARE(ReadWholeFile(path), std::string());
    QCOMPARE(f.Caption(), QString("doc.vk - Varkel"));

    // Titled now: Save writes again without asking.
    { std::ofstream(path) << "again\n"; }
    f.prompts.documentSaveName = f.dir.File("never-used");
    f.app->OnFileSave();
    QCOMPARE(ReadWholeFile(path), std::string());
    QVERIFY(!std::filesystem::exists(f.dir.File("never-used")));
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

void VarkelAppTest::openTakesTheNameAndReadsNothing() {
    AppFixture f;
    QVERIFY(f.app->InitInstance());
    const std::string path = f.dir.File("old.vk");
    { std::ofstream(path) << "content\n"; }
    f.prompts.documentOpenName = path;
    f.app->OnFileOpen();
    QCOMPARE(f.Caption(), QString("old.vk - Varkel"));
    QCOMPARE(ReadWholeFile(path), std::string("content\n"));
    QCOMPARE(f.app->Records().store.count, 0);
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
    const QStringList expected = {QString::fromStdString(dir.File("c")), QString::fromStdString(dir.File("e")),
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
