// The document carries a run: File > Open, the recent files and a drop show a data file's
// run; Save and Save As copy the run's data file byte for byte and never put the empty
// document over a file that holds data; a run recorded in the window becomes the document
// when it ends; Export writes the view as --plot draws it; the logarithmic axis is kept in
// the profile.

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QSettings>
#include <QUrl>
#include <QtTest>

#include <filesystem>
#include <fstream>

#include "AppFixture.h"
#include "app/CommandIds.h"
#include "app/RecentFileList.h"
#include "app/VarkelDoc.h"
#include "app/cli/PlotImage.h"
#include "measure/SampleStore.h"
#include "view/RecordedRun.h"
#include "view/VarkelView.h"

namespace {

// Written by hand, not by the program: odd spacing, CR LF and no last line end, so only a
// byte-for-byte copy keeps it as it is.
const std::string kRunBytes =
    "0  0.05 -12.5 2e-06 -40.25 25000 27.75\r\n"
    "2\t0.05 -12.5 2.1e-06 -40.5 23809.5 28\r\n"
    "4 0.051 -12.25 2.1e-06 -40.5 24285.7 28.25";
const std::string kOtherRunBytes = "0 1 2 3 4 5 6\n2 1 2 3 4 5 6\n";

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Files in a folder other than the ones named: a save leaves no temporary file behind.
std::vector<std::string> Others(const std::filesystem::path& folder,
                                std::vector<std::string> named) {
    std::vector<std::string> others;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (std::find(named.begin(), named.end(), name) == named.end()) others.push_back(name);
    }
    return others;
}

struct OpenApp : AppFixture {
    OpenApp() {
        run = dir.File("run.txt");
        Write(run, kRunBytes);
        app->InitInstance();
        prompts.documentOpenName = run;
        app->OnFileOpen();
    }
    QAction* Action(int id) { return app->MainFrame()->Action(id); }
    std::string run;
};

void Ticks(AppFixture& f, int count) {
    for (int i = 0; i < count; ++i) {
        f.clock.Advance(1000);
        f.app->View()->OnTimer();
    }
}

}  // namespace

class DocumentTest : public QObject {
    Q_OBJECT
private slots:
    void openShowsTheRunAndAFaultyFileChangesNothing();
    void ctrlSAfterOpeningLeavesTheDataFileByteIdentical();
    void saveAsOntoADataFileWithTheEmptyDocumentLeavesIt();
    void saveAsCopiesTheRunByteForByte();
    void saveAsThatFailsLeavesTheTargetAsItWas();
    void aRecordedRunBecomesTheDocumentWhenItEnds();
    void aNewRunReplacesAnOpenedOne();
    void openWaitsWhileAMeasurementRuns();
    void newAfterOpeningReturnsToTheLiveView();
    void recentFilesOpenTheirRunsAndDropTheVanished();
    void aDroppedFileIsOpened();
    void exportWritesTheViewAsPlotDrawsIt();
    void logarithmicAxisIsKeptInTheProfile();
};

void DocumentTest::openShowsTheRunAndAFaultyFileChangesNothing() {
    OpenApp f;
    QVERIFY(f.prompts.warnings.empty());
    QCOMPARE(f.Caption(), QString("run.txt - Varkel"));
    const RecordedRun* shown = f.app->View()->ShownRun();
    QVERIFY(shown);
    QCOMPARE(shown->Count(), 3);
    QCOMPARE(shown->timeMinutes[2], 4 * 0.016666666666666666);
    QCOMPARE(shown->last.voltage, 0.051);
    QCOMPARE(f.app->Document().RunFile(), f.Q(f.run));

    // Not a run: refused naming the line; the run stays shown, the caption as it was.
    const std::string notes = f.dir.File("notes.txt");
    Write(notes, "0 1 2 3 4 5 6\n1 2 3 4 5 6 seven\n");
    f.prompts.documentOpenName = notes;
    f.Action(ID_FILE_OPEN)->trigger();
    QCOMPARE(f.prompts.warnings.size(), std::size_t(1));
    QCOMPARE(f.prompts.warnings[0].text, std::string("Can't open notes.txt."));
    QCOMPARE(f.prompts.warnings[0].detail, notes +
                                               " is not a data file of seven numbers per line: "
                                               "line 2: field 7 \"seven\" is not a number");
    QCOMPARE(f.app->View()->ShownRun(), shown);
    QCOMPARE(f.Caption(), QString("run.txt - Varkel"));

    // Cancelled: nothing at all.
    f.prompts.documentOpenName.clear();
    f.app->OnFileOpen();
    QCOMPARE(f.prompts.warnings.size(), std::size_t(1));
    QCOMPARE(f.app->View()->ShownRun(), shown);
}

// The data-loss fault: Ctrl+S (or File > Save) after opening a run used to empty its file.
void DocumentTest::ctrlSAfterOpeningLeavesTheDataFileByteIdentical() {
    TempDir docs;
    const std::string path = docs.File("run.txt");
    Write(path, kRunBytes);
    AppFixture f(path);  // varkel run.txt
    QVERIFY(f.app->InitInstance());
    CMainFrame* frame = f.app->MainFrame();
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    const auto modified = std::filesystem::last_write_time(path);

    QTest::keySequence(frame, QKeySequence("Ctrl+S"));
    QCOMPARE(ReadWholeFile(path), kRunBytes);
    frame->Action(ID_FILE_SAVE)->trigger();
    QCOMPARE(ReadWholeFile(path), kRunBytes);
    QCOMPARE(std::filesystem::last_write_time(path), modified);  // not even rewritten
    QVERIFY(f.prompts.warnings.empty());
    QCOMPARE(f.Caption(), QString("run.txt - Varkel"));

    // Save As naming the same file (the dialog asked about replacing it): untouched too.
    f.prompts.documentSaveName = path;
    frame->Action(ID_FILE_SAVE_AS)->trigger();
    QCOMPARE(ReadWholeFile(path), kRunBytes);
    QCOMPARE(std::filesystem::last_write_time(path), modified);
    QVERIFY(f.prompts.warnings.empty());
}

// The other half of it: Save As of the empty document onto a data file, after the
// dialog's "replace?" was answered yes.
void DocumentTest::saveAsOntoADataFileWithTheEmptyDocumentLeavesIt() {
    AppFixture f;
    QVERIFY(f.app->InitInstance());
    const std::string data = f.dir.File("last-night.txt");
    Write(data, kRunBytes);
    f.prompts.documentSaveName = data;
    f.app->MainFrame()->Action(ID_FILE_SAVE_AS)->trigger();
    QCOMPARE(ReadWholeFile(data), kRunBytes);
    QCOMPARE(f.prompts.warnings.size(), std::size_t(1));
    QCOMPARE(f.prompts.warnings[0].text, std::string("There is nothing to save."));
    QCOMPARE(f.prompts.warnings[0].detail, "No run with readings is open, and " + data +
                                               " already holds data; it has been left as it was.");
    QCOMPARE(f.Caption(), QString("Untitled - Varkel"));
    // Ctrl+S, untitled, asks and says the same.
    f.app->OnFileSave();
    QCOMPARE(ReadWholeFile(data), kRunBytes);
    QCOMPARE(f.prompts.warnings.size(), std::size_t(2));
}

void DocumentTest::saveAsCopiesTheRunByteForByte() {
    OpenApp f;
    const std::string copy = f.dir.File("copy.txt");
    f.prompts.documentSaveName = copy;
    f.Action(ID_FILE_SAVE_AS)->trigger();
    QVERIFY(f.prompts.warnings.empty());
    QCOMPARE(ReadWholeFile(copy), kRunBytes);
    QCOMPARE(ReadWholeFile(f.run), kRunBytes);
    QCOMPARE(f.Caption(), QString("copy.txt - Varkel"));
    QCOMPARE(f.app->Document().RunFile(), f.Q(copy));
    QVERIFY(f.app->View()->ShownRun());  // still shown, the same run

    // Onto another run's file, once its replacement was confirmed: replaced by the copy.
    const std::string other = f.dir.File("other.txt");
    Write(other, kOtherRunBytes);
    f.prompts.documentSaveName = other;
    f.app->OnFileSaveAs();
    QCOMPARE(ReadWholeFile(other), kRunBytes);
    QCOMPARE(Others(f.dir.Path(), {"run.txt", "copy.txt", "other.txt", "varkel.ini"}),
             std::vector<std::string>());
    QCOMPARE(f.app->RecentFiles().Entries(), (QStringList{f.Q(other), f.Q(copy), f.Q(f.run)}));
}

void DocumentTest::saveAsThatFailsLeavesTheTargetAsItWas() {
    OpenApp f;
    struct Case {
        const char* name;
        std::string target;
        std::string detailStart;
    } const cases[] = {
        {"no such folder", f.dir.File("gone/copy.txt"), f.dir.File("gone/copy.txt") + ": "},
        {"a folder", f.dir.Path().string(), f.dir.Path().string() + ": "},
    };
    for (const Case& c : cases) {
        f.prompts.warnings.clear();
        f.prompts.documentSaveName = c.target;
        f.app->OnFileSaveAs();
        QCOMPARE(f.prompts.warnings.size(), std::size_t(1));
        QCOMPARE(f.prompts.warnings[0].text, std::string("Failed to save document."));
        QVERIFY2(f.prompts.warnings[0].detail.rfind(c.detailStart, 0) == 0,
                 f.prompts.warnings[0].detail.c_str());
        QCOMPARE(f.Caption(), QString("run.txt - Varkel"));
    }
    QVERIFY(!std::filesystem::exists(f.dir.File("gone")));

    // The run's own file gone since it was opened: said so, nothing made.
    std::filesystem::remove(f.run);
    f.prompts.warnings.clear();
    f.prompts.documentSaveName = f.dir.File("copy.txt");
    f.app->OnFileSaveAs();
    QCOMPARE(f.prompts.warnings.size(), std::size_t(1));
    QCOMPARE(f.prompts.warnings[0].detail, f.run + ": No such file or directory");
    QVERIFY(!std::filesystem::exists(f.dir.File("copy.txt")));
    QCOMPARE(Others(f.dir.Path(), {"varkel.ini"}), std::vector<std::string>());
}

void DocumentTest::aRecordedRunBecomesTheDocumentWhenItEnds() {
    AppFixture f;
    QVERIFY(f.app->InitInstance());
    const std::string data = f.dir.File("tonight.txt");
    f.prompts.dataFileName = data;
    f.app->View()->OnMeasurementStart();
    QCOMPARE(f.Caption(), QString("tonight.txt - Varkel"));
    QVERIFY(f.app->Document().IsRecording());
    Ticks(f, 6);
    QCOMPARE(ReadLines(data).size(), std::size_t(3));

    // While it records, Save and Save As wait; if reached anyway, they say why.
    CMainFrame* frame = f.app->MainFrame();
    QVERIFY(!frame->Action(ID_FILE_SAVE)->isEnabled());
    QVERIFY(!frame->Action(ID_FILE_SAVE_AS)->isEnabled());
    const std::string early = f.dir.File("early.txt");
    f.prompts.documentSaveName = early;
    f.app->OnFileSaveAs();
    QVERIFY(!std::filesystem::exists(early));
    QCOMPARE(f.prompts.warnings.size(), std::size_t(1));
    QCOMPARE(f.prompts.warnings[0].text, std::string("The run is still being recorded."));

    f.app->View()->OnMeasurementStop();
    QVERIFY(!f.app->Document().IsRecording());
    QCOMPARE(f.app->Document().RunFile(), f.Q(data));
    const std::string copy = f.dir.File("kept.txt");
    f.prompts.documentSaveName = copy;
    frame->Action(ID_FILE_SAVE_AS)->trigger();
    QCOMPARE(f.prompts.warnings.size(), std::size_t(1));
    QCOMPARE(ReadWholeFile(copy), ReadWholeFile(data));
    QCOMPARE(ReadLines(copy).size(), std::size_t(3));
    QCOMPARE(f.Caption(), QString("kept.txt - Varkel"));
    QVERIFY(f.app->RecentFiles().Entries().contains(f.Q(data)));

    // A run longer than the live store holds: once ended, shown whole from its file.
    f.prompts.dataFileName = f.dir.File("long.txt");
    f.app->View()->OnMeasurementStart();
    Ticks(f, 8);
    QVERIFY(!f.app->View()->ShownRun());
    f.app->Records().store.count = SampleStore::kCapacity;  // as after 65,536 readings
    f.app->View()->OnMeasurementStop();
    QVERIFY(f.app->View()->ShownRun());
    QCOMPARE(f.app->View()->ShownRun()->Count(), 4);  // the file's lines, not the store's
    QCOMPARE(f.Caption(), QString("long.txt - Varkel"));

    // A run whose device is gone keeps waiting for it, still the live run; stopped, it
    // becomes the document the same way.
    f.prompts.dataFileName = f.dir.File("lost.txt");
    f.app->View()->OnMeasurementStart();
    Ticks(f, 2);
    f.line->Unplug();
    Ticks(f, 2);
    QVERIFY(f.app->Run().IsWaitingForDevice());
    QVERIFY(f.app->Document().IsRecording());
    f.app->View()->OnMeasurementStop();
    QCOMPARE(f.app->Document().RunFile(), f.Q(f.dir.File("lost.txt")));
}

void DocumentTest::aNewRunReplacesAnOpenedOne() {
    OpenApp f;
    QVERIFY(f.app->View()->ShownRun());
    // Cancelled at the file name: the opened run stays.
    f.app->View()->OnMeasurementStart();
    QVERIFY(f.app->View()->ShownRun());
    QCOMPARE(f.Caption(), QString("run.txt - Varkel"));

    f.prompts.dataFileName = f.dir.File("new.txt");
    f.app->View()->OnMeasurementStart();
    QVERIFY(f.app->Run().IsMeasuring());
    QVERIFY(!f.app->View()->ShownRun());
    QCOMPARE(f.Caption(), QString("new.txt - Varkel"));
    QVERIFY(f.app->Document().RunFile().isEmpty());
    QCOMPARE(ReadWholeFile(f.run), kRunBytes);
    f.app->View()->OnMeasurementStop();
}

void DocumentTest::openWaitsWhileAMeasurementRuns() {
    AppFixture f;
    QVERIFY(f.app->InitInstance());
    const std::string run = f.dir.File("run.txt");
    Write(run, kRunBytes);
    f.prompts.dataFileName = f.dir.File("live.txt");
    f.app->View()->OnMeasurementStart();
    CMainFrame* frame = f.app->MainFrame();
    QVERIFY(!frame->Action(ID_FILE_OPEN)->isEnabled());

    f.prompts.documentOpenName = run;
    f.app->OnFileOpen();
    emit frame->fileDropped(f.Q(run));
    f.app->OnOpenRecentFile(0);
    QVERIFY(!f.app->View()->ShownRun());
    QCOMPARE(f.Caption(), QString("live.txt - Varkel"));
    QVERIFY(f.prompts.warnings.empty());

    f.app->View()->OnMeasurementStop();
    QVERIFY(frame->Action(ID_FILE_OPEN)->isEnabled());
    frame->Action(ID_FILE_OPEN)->trigger();
    QVERIFY(f.app->View()->ShownRun());
}

void DocumentTest::newAfterOpeningReturnsToTheLiveView() {
    OpenApp f;
    f.Action(ID_FILE_NEW)->trigger();
    QVERIFY(!f.app->View()->ShownRun());
    QCOMPARE(f.Caption(), QString("Untitled - Varkel"));
    QVERIFY(f.app->Document().RunFile().isEmpty());
    // Nothing to save now, not even onto the run's own file.
    f.prompts.documentSaveName = f.run;
    f.app->OnFileSave();
    QCOMPARE(ReadWholeFile(f.run), kRunBytes);
    QCOMPARE(f.prompts.warnings.size(), std::size_t(1));
}

void DocumentTest::recentFilesOpenTheirRunsAndDropTheVanished() {
    OpenApp f;
    const std::string other = f.dir.File("other.txt");
    Write(other, kOtherRunBytes);
    f.prompts.documentOpenName = other;
    f.app->OnFileOpen();
    QCOMPARE(f.app->View()->ShownRun()->Count(), 2);

    // File menu: 1 other.txt, 2 run.txt.
    CMainFrame* frame = f.app->MainFrame();
    QVERIFY(frame->Action(ID_FILE_MRU_FILE1 + 1)->isVisible());
    QVERIFY(frame->Action(ID_FILE_MRU_FILE1 + 1)->text().endsWith("run.txt"));
    frame->Action(ID_FILE_MRU_FILE1 + 1)->trigger();
    QCOMPARE(f.app->View()->ShownRun()->Count(), 3);
    QCOMPARE(f.Caption(), QString("run.txt - Varkel"));
    QCOMPARE(f.app->RecentFiles().Entries(), (QStringList{f.Q(f.run), f.Q(other)}));

    // Gone since: said so, and it leaves the list and the menu.
    std::filesystem::remove(other);
    frame->Action(ID_FILE_MRU_FILE1 + 1)->trigger();
    QCOMPARE(f.prompts.warnings.size(), std::size_t(1));
    QCOMPARE(f.prompts.warnings[0].detail, other + ": No such file or directory");
    QCOMPARE(f.app->RecentFiles().Entries(), QStringList{f.Q(f.run)});
    QVERIFY(!frame->Action(ID_FILE_MRU_FILE1 + 1)->isVisible());
    QCOMPARE(f.app->View()->ShownRun()->Count(), 3);
    // The profile has it already, in case the program never reaches its orderly end.
    QCOMPARE(RecentFileList(f.Q(f.dir.File("varkel.ini"))).Entries(), QStringList{f.Q(f.run)});
}

void DocumentTest::aDroppedFileIsOpened() {
    AppFixture f;
    QVERIFY(f.app->InitInstance());
    const std::string run = f.dir.File("dropped.txt");
    Write(run, kRunBytes);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(f.Q(run))});
    CMainFrame* frame = f.app->MainFrame();
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frame, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frame, &drop);
    QCOMPARE(f.Caption(), QString("dropped.txt - Varkel"));
    QCOMPARE(f.app->View()->ShownRun()->Count(), 3);
}

void DocumentTest::exportWritesTheViewAsPlotDrawsIt() {
    OpenApp f;
    CMainFrame* frame = f.app->MainFrame();
    QVERIFY(QTest::qWaitForWindowExposed(frame));
    CVarkelView* view = f.app->View();
    const std::string png = f.dir.File("charts.png");
    f.prompts.imageFileName = png;
    frame->Action(ID_FILE_EXPORT_IMAGE)->trigger();
    QVERIFY(f.prompts.warnings.empty());
    const QImage written(f.Q(png), "png");
    QCOMPARE(written.size(), view->size());
    const RecordedRun& run = *view->ShownRun();
    const QImage plotted =
        PaintMeasurementImage(view->width(), view->height(), run.last, SeriesOf(run));
    QCOMPARE(written.convertToFormat(QImage::Format_RGB32), plotted);

    // Zoomed in, the export is the zoomed picture the window shows.
    view->repaint();
    const CRect plot = view->DrawnCharts().impedance.plot;
    const QPointF middle((plot.left + plot.right) / 2, (plot.top + plot.bottom) / 2);
    QWheelEvent wheel(middle, view->mapToGlobal(middle), QPoint(), QPoint(0, 240), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view, &wheel);
    f.app->OnFileExportImage();
    view->repaint();
    QCOMPARE(QImage(f.Q(png), "png").convertToFormat(QImage::Format_RGB32),
             view->grab().toImage().convertToFormat(QImage::Format_RGB32));
    QVERIFY(QImage(f.Q(png), "png").convertToFormat(QImage::Format_RGB32) != plotted);

    // Nowhere to write: said so, and no stray file.
    f.prompts.imageFileName = f.dir.File("gone/charts.png");
    f.app->OnFileExportImage();
    QCOMPARE(f.prompts.warnings.size(), std::size_t(1));
    QCOMPARE(f.prompts.warnings[0].text, std::string("Failed to export the chart image."));
    QVERIFY(f.prompts.warnings[0].detail.rfind(f.dir.File("gone/charts.png") + ": ", 0) == 0);
    // Cancelled: nothing.
    f.prompts.imageFileName.clear();
    f.app->OnFileExportImage();
    QCOMPARE(f.prompts.warnings.size(), std::size_t(1));
}

void DocumentTest::logarithmicAxisIsKeptInTheProfile() {
    TempDir profileDir;
    const std::string profile = profileDir.File("varkel.ini");
    {
        AppFixture f(std::string(), profile);
        QVERIFY(f.app->InitInstance());
        QAction* axis = f.app->MainFrame()->Action(ID_VIEW_LOG_IMPEDANCE);
        QVERIFY(!axis->isChecked());
        QVERIFY(!f.app->View()->LogImpedanceAxis());
        axis->trigger();
        QVERIFY(axis->isChecked());
        QVERIFY(f.app->View()->LogImpedanceAxis());
        QSettings written(f.Q(profile), QSettings::IniFormat);
        QCOMPARE(written.value("Settings/LogImpedanceAxis").toBool(), true);
        f.app->ExitInstance();  // the recent files are written beside it
    }
    {
        AppFixture f(std::string(), profile);
        QVERIFY(f.app->InitInstance());
        QVERIFY(f.app->MainFrame()->Action(ID_VIEW_LOG_IMPEDANCE)->isChecked());
        QVERIFY(f.app->View()->LogImpedanceAxis());
        f.app->MainFrame()->Action(ID_VIEW_LOG_IMPEDANCE)->trigger();
        QVERIFY(!f.app->View()->LogImpedanceAxis());
    }
    QSettings reread(QString::fromStdString(profile), QSettings::IniFormat);
    QCOMPARE(reread.value("Settings/LogImpedanceAxis").toBool(), false);
    QVERIFY(reread.contains("Settings/PreviewPages"));
}

QTEST_MAIN(DocumentTest)
#include "test_document.moc"
