// CMainFrame: menus, accelerators and toolbar with their ids and texts, the View toggles'
// check marks, Start/Stop enabled states through a run, the message pane's prompts and run
// progress, and closing the window during a run.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QtTest>

#include <algorithm>

#include "ViewFixture.h"
#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "view/VarkelView.h"

namespace {

struct FrameFixture : ViewFixture {
    FrameFixture()
        : frame(new CMainFrame(new CVarkelView(*run, readings, *store, prompts), prompts)) {
        prompts.dataFileName = dir.File("run.txt");
    }
    ~FrameFixture() { delete frame; }
    CVarkelView& View() { return *frame->View(); }
    QAction* Action(int id) { return frame->Action(id); }

    CMainFrame* frame;
};

// The items a person sees (the recent-file slots stay hidden until there are files).
QStringList ItemTexts(QMenu* menu) {
    QStringList texts;
    for (QAction* action : menu->actions()) {
        if (action->isVisible()) texts << (action->isSeparator() ? "-" : action->text());
    }
    return texts;
}

const QStringList kFileMenu = {
    "&Open...", "&Save",      "Save &As...", "-",    "&Export Chart Image...",
    "-",        "&Save data", "-",           "E&xit"};

}  // namespace

class MainFrameTest : public QObject {
    Q_OBJECT
private slots:
    void menusCarryTheirItemsAndIds();
    void thirteenAcceleratorsWithTheirCommands();
    void acceleratorsWithoutHandlerDoNothing();
    void fileAcceleratorsGoToTheApplication();
    void toolbarHoldsStartStopAboutAndDocksAnywhere();
    void viewTogglesShowHideAndCheck();
    void startAndStopFollowTheRun();
    void messagePaneShowsReadyPromptsAndProgress_data();
    void messagePaneShowsReadyPromptsAndProgress();
    void runProgressYieldsToPrompts();
    void sampleReadoutBetweenPromptsAndProgress();
    void recentFilesAreListedAndGoToTheApplication();
    void aDroppedFileIsOpenedUnlessARunGoesOn();
    void tooltipsOnlyWhereGiven();
    void statusBarHasFourPanes();
    void closingDuringARunEndsIt();
    void closingWithUnwrittenLinesAsksFirst();
};

void MainFrameTest::menusCarryTheirItemsAndIds() {
    FrameFixture f;
    const QList<QAction*> top = f.frame->menuBar()->actions();
    QCOMPARE(top.size(), 4);
    QCOMPARE(top[0]->text(), QString("&File"));
    QCOMPARE(top[1]->text(), QString("&Measurement"));
    QCOMPARE(top[2]->text(), QString("&View"));
    QCOMPARE(top[3]->text(), QString("&Help"));
    QCOMPARE(ItemTexts(f.frame->Menu(0)), kFileMenu);
    QCOMPARE(ItemTexts(f.frame->Menu(1)), (QStringList{"Start", "Stop"}));
    QCOMPARE(ItemTexts(f.frame->Menu(2)),
             (QStringList{"&Toolbar", "&Status Bar", "-", "&Logarithmic Impedance Axis"}));
    QCOMPARE(ItemTexts(f.frame->Menu(3)), (QStringList{"&About Varkel..."}));

    const QList<QPair<int, QString>> ids = {{ID_FILE_OPEN, "&Open..."},
                                            {ID_FILE_SAVE, "&Save"},
                                            {ID_FILE_SAVE_AS, "Save &As..."},
                                            {ID_FILE_EXPORT_IMAGE, "&Export Chart Image..."},
                                            {ID_FILE_SAVEDATA, "&Save data"},
                                            {ID_APP_EXIT, "E&xit"},
                                            {ID_MEASUREMENT_START, "Start"},
                                            {ID_MEASUREMENT_STOP, "Stop"},
                                            {ID_VIEW_TOOLBAR, "&Toolbar"},
                                            {ID_VIEW_STATUS_BAR, "&Status Bar"},
                                            {ID_VIEW_LOG_IMPEDANCE, "&Logarithmic Impedance Axis"},
                                            {ID_APP_ABOUT, "&About Varkel..."}};
    for (const auto& [id, text] : ids) {
        QVERIFY(f.Action(id));
        QCOMPARE(f.Action(id)->text(), text);
        QCOMPARE(f.Action(id)->data().toInt(), id);
    }
    QCOMPARE(int(ID_FILE_SAVEDATA), 32771);
    QCOMPARE(int(ID_MEASUREMENT_START), 32772);
    QCOMPARE(int(ID_MEASUREMENT_STOP), 32773);
    // The measurement commands have no keys.
    QVERIFY(f.Action(ID_MEASUREMENT_START)->shortcuts().isEmpty());
    QVERIFY(f.Action(ID_MEASUREMENT_STOP)->shortcuts().isEmpty());
    QVERIFY(f.Action(ID_FILE_SAVEDATA)->shortcuts().isEmpty());
    QVERIFY(f.Action(ID_FILE_SAVEDATA)->isEnabled());
    // Open and Save on the menu are the accelerators' actions; the new items have no keys.
    QCOMPARE(f.Action(ID_FILE_OPEN)->shortcuts(), QList<QKeySequence>{QKeySequence("Ctrl+O")});
    QCOMPARE(f.Action(ID_FILE_SAVE)->shortcuts(), QList<QKeySequence>{QKeySequence("Ctrl+S")});
    for (int id : {ID_FILE_SAVE_AS, ID_FILE_EXPORT_IMAGE, ID_VIEW_LOG_IMPEDANCE}) {
        QVERIFY(f.Action(id)->shortcuts().isEmpty());
    }
    QVERIFY(f.Action(ID_VIEW_LOG_IMPEDANCE)->isCheckable());
    QVERIFY(!f.Action(ID_VIEW_LOG_IMPEDANCE)->isChecked());
}

void MainFrameTest::thirteenAcceleratorsWithTheirCommands() {
    FrameFixture f;
    const QList<QPair<QKeySequence, int>> table = {
        {QKeySequence("Ctrl+N"), ID_FILE_NEW},      {QKeySequence("Ctrl+O"), ID_FILE_OPEN},
        {QKeySequence("Ctrl+S"), ID_FILE_SAVE},     {QKeySequence("Ctrl+Z"), ID_EDIT_UNDO},
        {QKeySequence("Ctrl+X"), ID_EDIT_CUT},      {QKeySequence("Ctrl+C"), ID_EDIT_COPY},
        {QKeySequence("Ctrl+V"), ID_EDIT_PASTE},    {QKeySequence("Alt+Backspace"), ID_EDIT_UNDO},
        {QKeySequence("Shift+Del"), ID_EDIT_CUT},   {QKeySequence("Ctrl+Ins"), ID_EDIT_COPY},
        {QKeySequence("Shift+Ins"), ID_EDIT_PASTE}, {QKeySequence("F6"), ID_NEXT_PANE},
        {QKeySequence("Shift+F6"), ID_PREV_PANE}};
    int keys = 0;
    for (QAction* action : f.frame->actions()) keys += action->shortcuts().size();
    QCOMPARE(keys, 13);
    for (const auto& [key, id] : table) {
        QAction* action = f.Action(id);
        QVERIFY2(action && action->shortcuts().contains(key), qPrintable(key.toString()));
        QVERIFY(f.frame->actions().contains(action));
    }
}

void MainFrameTest::acceleratorsWithoutHandlerDoNothing() {
    FrameFixture f;
    QSignalSpy app(f.frame, &CMainFrame::appCommand);
    f.frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.frame));
    for (int id :
         {ID_EDIT_UNDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_NEXT_PANE, ID_PREV_PANE}) {
        QVERIFY(!f.Action(id)->isEnabled());
        for (const QKeySequence& key : f.Action(id)->shortcuts()) QTest::keySequence(f.frame, key);
    }
    QCOMPARE(app.count(), 0);
    QVERIFY(f.frame->isVisible());
    QVERIFY(!f.View().IsMeasuring());
}

void MainFrameTest::fileAcceleratorsGoToTheApplication() {
    FrameFixture f;
    QSignalSpy app(f.frame, &CMainFrame::appCommand);
    f.frame->show();
    f.frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.frame));
    QTest::keySequence(f.frame, QKeySequence("Ctrl+N"));
    QTest::keySequence(f.frame, QKeySequence("Ctrl+O"));
    QTest::keySequence(f.frame, QKeySequence("Ctrl+S"));
    f.Action(ID_APP_ABOUT)->trigger();
    // So do the File menu's new items and the logarithmic axis.
    for (int id : {ID_FILE_SAVE_AS, ID_FILE_EXPORT_IMAGE, ID_VIEW_LOG_IMPEDANCE})
        f.Action(id)->trigger();
    QCOMPARE(app.count(), 7);
    const int expected[] = {ID_FILE_NEW,          ID_FILE_OPEN,    ID_FILE_SAVE,
                            ID_APP_ABOUT,         ID_FILE_SAVE_AS, ID_FILE_EXPORT_IMAGE,
                            ID_VIEW_LOG_IMPEDANCE};
    for (int i = 0; i < 7; ++i) QCOMPARE(app.at(i).at(0).toInt(), expected[i]);
    QVERIFY(f.Action(ID_VIEW_LOG_IMPEDANCE)->isChecked());  // the click set the check mark
}

void MainFrameTest::toolbarHoldsStartStopAboutAndDocksAnywhere() {
    FrameFixture f;
    QToolBar* bar = f.frame->ToolBar();
    const QList<QAction*> buttons = bar->actions();
    QCOMPARE(buttons.size(), 3);  // no separators
    QCOMPARE(buttons[0]->data().toInt(), int(ID_MEASUREMENT_START));
    QCOMPARE(buttons[1]->data().toInt(), int(ID_MEASUREMENT_STOP));
    QCOMPARE(buttons[2]->data().toInt(), int(ID_APP_ABOUT));
    for (QAction* action : buttons) {
        QVERIFY(!action->icon().isNull());
        QCOMPARE(action->icon().availableSizes().value(0), QSize(16, 15));
    }
    QCOMPARE(bar->iconSize(), QSize(16, 15));
    QCOMPARE(f.frame->toolBarArea(bar), Qt::TopToolBarArea);
    QCOMPARE(bar->allowedAreas(), Qt::AllToolBarAreas);
    QVERIFY(bar->isMovable());
    QVERIFY(bar->isFloatable());
    f.frame->addToolBar(Qt::LeftToolBarArea, bar);
    QCOMPARE(f.frame->toolBarArea(bar), Qt::LeftToolBarArea);
}

void MainFrameTest::viewTogglesShowHideAndCheck() {
    FrameFixture f;
    f.frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.frame));
    QAction* toolbar = f.Action(ID_VIEW_TOOLBAR);
    QAction* status = f.Action(ID_VIEW_STATUS_BAR);
    QVERIFY(toolbar->isCheckable() && toolbar->isChecked());
    QVERIFY(status->isCheckable() && status->isChecked());

    toolbar->trigger();
    QVERIFY(f.frame->ToolBar()->isHidden());
    QVERIFY(!toolbar->isChecked());
    toolbar->trigger();
    QVERIFY(!f.frame->ToolBar()->isHidden());
    QVERIFY(toolbar->isChecked());
    QCOMPARE(f.frame->toolBarArea(f.frame->ToolBar()), Qt::TopToolBarArea);

    status->trigger();
    QVERIFY(f.frame->statusBar()->isHidden());
    QVERIFY(!status->isChecked());
    status->trigger();
    QVERIFY(!f.frame->statusBar()->isHidden());

    // Hidden some other way: the mark follows when the menu opens.
    f.frame->ToolBar()->hide();
    QVERIFY(!toolbar->isChecked());
}

void MainFrameTest::startAndStopFollowTheRun() {
    FrameFixture f;
    QAction* start = f.Action(ID_MEASUREMENT_START);
    QAction* stop = f.Action(ID_MEASUREMENT_STOP);
    auto button = [&](QAction* action) { return f.frame->ToolBar()->widgetForAction(action); };
    QVERIFY(start->isEnabled() && !stop->isEnabled());
    QVERIFY(button(start)->isEnabled() && !button(stop)->isEnabled());

    f.frame->SetRecentFiles({"/data/a.txt"});
    const QList<int> replacing = {ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_FILE_MRU_FILE1};
    for (int id : replacing) QVERIFY(f.Action(id)->isEnabled());

    start->trigger();
    QVERIFY(f.View().IsMeasuring());
    QVERIFY(!start->isEnabled() && stop->isEnabled());
    QVERIFY(!button(start)->isEnabled() && button(stop)->isEnabled());
    QVERIFY(f.Action(ID_APP_ABOUT)->isEnabled());
    // The live run owns the charts and its file is not finished: Open, the recent files,
    // Save and Save As wait for Stop. Export and the axis do not.
    for (int id : replacing) QVERIFY2(!f.Action(id)->isEnabled(), qPrintable(QString::number(id)));
    QVERIFY(f.Action(ID_FILE_EXPORT_IMAGE)->isEnabled());
    QVERIFY(f.Action(ID_VIEW_LOG_IMPEDANCE)->isEnabled());

    stop->trigger();
    QVERIFY(!f.View().IsMeasuring());
    QVERIFY(start->isEnabled() && !stop->isEnabled());
    for (int id : replacing) QVERIFY(f.Action(id)->isEnabled());

    // A cancelled start leaves them as they were.
    f.prompts.setupAccepted = false;
    start->trigger();
    QVERIFY(start->isEnabled() && !stop->isEnabled());
}

void MainFrameTest::messagePaneShowsReadyPromptsAndProgress_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("prompt");
    QTest::newRow("exit") << int(ID_APP_EXIT) << "Quit the application; prompts to save documents";
    QTest::newRow("toolbar") << int(ID_VIEW_TOOLBAR) << "Show or hide the toolbar";
    QTest::newRow("status bar") << int(ID_VIEW_STATUS_BAR) << "Show or hide the status bar";
    QTest::newRow("start: none") << int(ID_MEASUREMENT_START) << "";
    QTest::newRow("stop: none") << int(ID_MEASUREMENT_STOP) << "";
    QTest::newRow("save data: none") << int(ID_FILE_SAVEDATA) << "";
    QTest::newRow("open") << int(ID_FILE_OPEN) << "Open a recorded run (a data file)";
    QTest::newRow("save") << int(ID_FILE_SAVE) << "Save the run shown under its name";
    QTest::newRow("save as") << int(ID_FILE_SAVE_AS)
                             << "Save a copy of the run's data file under a new name";
    QTest::newRow("export") << int(ID_FILE_EXPORT_IMAGE)
                            << "Write the charts as they are shown into a PNG image";
    QTest::newRow("log axis") << int(ID_VIEW_LOG_IMPEDANCE)
                              << "Show the impedance on a logarithmic axis";
    QTest::newRow("recent file") << int(ID_FILE_MRU_FILE1) << "Open this recorded run";
}

void MainFrameTest::messagePaneShowsReadyPromptsAndProgress() {
    QFETCH(int, id);
    QFETCH(QString, prompt);
    FrameFixture f;
    QCOMPARE(f.frame->MessagePane()->text(), QString("Ready"));
    // Highlighting the item in its menu.
    for (int m = 0; m < 4; ++m) {
        if (f.frame->Menu(m)->actions().contains(f.Action(id)))
            emit f.frame->Menu(m)->hovered(f.Action(id));
    }
    QCOMPARE(f.frame->MessagePane()->text(), prompt);
    emit f.frame->Menu(0)->aboutToHide();
    QCOMPARE(f.frame->MessagePane()->text(), QString("Ready"));
}

void MainFrameTest::runProgressYieldsToPrompts() {
    FrameFixture f;
    f.frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.frame));
    f.Action(ID_MEASUREMENT_START)->trigger();
    f.View().OnTimer();
    QCOMPARE(f.frame->MessagePane()->text(),
             QString("Measuring: 0 readings, next in 1 s, data file run.txt"));

    // Pointing at the Stop button empties the pane; leaving brings the progress back.
    QWidget* stop = f.frame->ToolBar()->widgetForAction(f.Action(ID_MEASUREMENT_STOP));
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QCoreApplication::sendEvent(stop, &enter);
    QCOMPARE(f.frame->MessagePane()->text(), QString());
    f.View().OnTimer();  // a reading meanwhile does not overwrite the prompt
    QCOMPARE(f.frame->MessagePane()->text(), QString());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(stop, &leave);
    QCOMPARE(f.frame->MessagePane()->text(),
             QString("Measuring: 1 reading, next in 2 s, data file run.txt"));

    f.Action(ID_MEASUREMENT_STOP)->trigger();
    QCOMPARE(f.frame->MessagePane()->text(), QString("Ready"));
}

void MainFrameTest::sampleReadoutBetweenPromptsAndProgress() {
    FrameFixture f;
    f.frame->resize(900, 600);
    f.frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.frame));
    f.Action(ID_MEASUREMENT_START)->trigger();
    for (int tick = 0; tick < 2; ++tick) {
        f.clock.Advance(1000);
        f.View().OnTimer();
    }
    f.View().repaint();
    const ChartMapping& chart = f.View().DrawnCharts().impedance;
    QVERIFY(chart.drawn);
    const QPoint over((chart.plot.left + chart.plot.right) / 2,
                      (chart.plot.top + chart.plot.bottom) / 2);
    QMouseEvent move(QEvent::MouseMove, over, f.View().mapToGlobal(over), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&f.View(), &move);
    // The one sample, taken 2 s into the run: 50 mV over the 1 uA floor (no current yet).
    const QString readout("Time 0.033 min (0:00:02), Impedance 50000 Ohm");
    QCOMPARE(f.frame->MessagePane()->text(), readout);

    // A menu's prompt wins while the menu is open; the readout comes back after it.
    emit f.frame->Menu(2)->hovered(f.Action(ID_VIEW_TOOLBAR));
    QCOMPARE(f.frame->MessagePane()->text(), QString("Show or hide the toolbar"));
    emit f.frame->Menu(2)->aboutToHide();
    QCOMPARE(f.frame->MessagePane()->text(), readout);

    // Leaving the chart returns the pane to the run's progress, after Stop to "Ready".
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&f.View(), &leave);
    QCOMPARE(f.frame->MessagePane()->text(),
             QString("Measuring: 1 reading, next in 2 s, data file run.txt"));
    f.Action(ID_MEASUREMENT_STOP)->trigger();
    QCOMPARE(f.frame->MessagePane()->text(), QString("Ready"));
}

void MainFrameTest::recentFilesAreListedAndGoToTheApplication() {
    FrameFixture f;
    QSignalSpy app(f.frame, &CMainFrame::appCommand);
    f.frame->SetRecentFiles({"/data/week & more.txt", "/data/b.txt"});
    QStringList expected = kFileMenu;
    expected.insert(expected.size() - 1, "&1 /data/week && more.txt");
    expected.insert(expected.size() - 1, "&2 /data/b.txt");
    expected.insert(expected.size() - 1, "-");
    QCOMPARE(ItemTexts(f.frame->Menu(0)), expected);
    f.Action(ID_FILE_MRU_FILE1 + 1)->trigger();
    QCOMPARE(app.count(), 1);
    QCOMPARE(app.at(0).at(0).toInt(), int(ID_FILE_MRU_FILE1 + 1));

    // A long path keeps the file's name whole.
    const QString deep = "/" + QString("folder/").repeated(20) + "last-night.txt";
    f.frame->SetRecentFiles({deep});
    const QString shown = f.Action(ID_FILE_MRU_FILE1)->text();
    QVERIFY2(
        shown.size() < 70 && shown.startsWith("&1 /folder/") && shown.endsWith("/last-night.txt"),
        qPrintable(shown));
    QVERIFY(!f.Action(ID_FILE_MRU_FILE1 + 1)->isVisible());

    f.frame->SetRecentFiles({});
    QCOMPARE(ItemTexts(f.frame->Menu(0)), kFileMenu);
}

void MainFrameTest::aDroppedFileIsOpenedUnlessARunGoesOn() {
    FrameFixture f;
    QSignalSpy dropped(f.frame, &CMainFrame::fileDropped);
    f.frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.frame));
    auto offer = [&](const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(f.frame, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(f.frame, &drop);
        return true;
    };
    const QUrl file = QUrl::fromLocalFile("/data/last-night.txt");
    QVERIFY(offer({file}));
    QCOMPARE(dropped.count(), 1);
    QCOMPARE(dropped.at(0).at(0).toString(), QString("/data/last-night.txt"));
    // Two files at once, or a web address: not taken.
    QVERIFY(!offer({file, QUrl::fromLocalFile("/data/other.txt")}));
    QVERIFY(!offer({QUrl("https://example.org/run.txt")}));
    // While a run goes on the charts are its own.
    f.Action(ID_MEASUREMENT_START)->trigger();
    QVERIFY(!offer({file}));
    f.Action(ID_MEASUREMENT_STOP)->trigger();
    QVERIFY(offer({file}));
    QCOMPARE(dropped.count(), 2);
}

void MainFrameTest::tooltipsOnlyWhereGiven() {
    FrameFixture f;
    f.frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.frame));
    QCOMPARE(f.Action(ID_APP_ABOUT)->toolTip(), QString("About"));
    QCOMPARE(f.Action(ID_APP_EXIT)->toolTip(), QString("Exit"));
    QCOMPARE(f.Action(ID_VIEW_TOOLBAR)->toolTip(), QString("Toggle ToolBar"));
    QCOMPARE(f.Action(ID_VIEW_STATUS_BAR)->toolTip(), QString("Toggle StatusBar"));
    // Pointing at a button: About shows "About", Start and Stop show nothing.
    auto point = [&](int id) {
        QToolTip::hideText();
        QWidget* button = f.frame->ToolBar()->widgetForAction(f.Action(id));
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), button->mapToGlobal(QPoint(2, 2)));
        QCoreApplication::sendEvent(button, &help);
    };
    point(ID_MEASUREMENT_START);
    QVERIFY(!QToolTip::isVisible());
    point(ID_MEASUREMENT_STOP);
    QVERIFY(!QToolTip::isVisible());
    point(ID_APP_ABOUT);
    QTRY_COMPARE(QToolTip::text(), QString("About"));
}

void MainFrameTest::statusBarHasFourPanes() {
    FrameFixture f;
    f.frame->resize(800, 600);
    f.frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.frame));

    // Left to right: the message pane, then CAP, NUM and SCRL; nothing else.
    QList<QLabel*> panes = f.frame->statusBar()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
    std::sort(panes.begin(), panes.end(), [](const QLabel* a, const QLabel* b) {
        return a->geometry().left() < b->geometry().left();
    });
    QCOMPARE(panes.size(), 4);
    QCOMPARE(panes[0], f.frame->MessagePane());
    QCOMPARE(panes[0]->text(), QString("Ready"));
    const struct {
        int id;
        const char* text;  // shown while its lock is on
    } indicators[] = {
        {ID_INDICATOR_CAPS, "CAP"}, {ID_INDICATOR_NUM, "NUM"}, {ID_INDICATOR_SCRL, "SCRL"}};
    for (int n = 0; n < 3; ++n) {
        QLabel* pane = panes[n + 1];
        QCOMPARE(pane, f.frame->IndicatorPane(indicators[n].id));
        QVERIFY(pane->isVisible());
        // Room for its text also while empty, so the bar does not jump when a lock turns on.
        QVERIFY2(pane->minimumWidth() >=
                     pane->fontMetrics().horizontalAdvance(QString(indicators[n].text)),
                 indicators[n].text);
        // Offscreen reports no lock state: the panes stay empty.
        QCOMPARE(pane->text(), QString());
        // Side by side, not overlapping, the last one at the bar's right end.
        QVERIFY(panes[n]->geometry().right() < pane->geometry().left());
    }
    QVERIFY(panes[3]->geometry().right() <= f.frame->statusBar()->width());
    // The message pane takes the room the indicators leave.
    QVERIFY(panes[0]->width() > panes[1]->width() + panes[2]->width() + panes[3]->width());
    QCOMPARE(f.frame->windowTitle(), QString("Untitled - Varkel"));
}

void MainFrameTest::closingDuringARunEndsIt() {
    FrameFixture f;
    f.frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.frame));
    f.Action(ID_MEASUREMENT_START)->trigger();
    f.View().OnTimer();
    f.View().OnTimer();
    QVERIFY(f.line->open);
    QVERIFY(f.frame->close());
    QVERIFY(f.prompts.questions.empty());  // every line was written: no question
    QVERIFY(f.line->wire.size() >= 7);
    QCOMPARE(f.line->wire.substr(f.line->wire.size() - 7), std::string("LOCL 0\r"));
    QVERIFY(!f.line->open);
    QCOMPARE(f.line->closes, 1);
}

void MainFrameTest::closingWithUnwrittenLinesAsksFirst() {
    FrameFixture f;
    f.frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.frame));
    f.Action(ID_MEASUREMENT_START)->trigger();
    // The data file's folder disappears: the next line stays in memory.
    std::filesystem::remove_all(f.dir.Path());
    f.View().OnTimer();
    f.View().OnTimer();
    QVERIFY(f.run->PendingLines() > 0);

    f.prompts.yesNoAnswer = false;
    QVERIFY(!f.frame->close());
    QCOMPARE(f.prompts.questions.size(), std::size_t(1));
    QCOMPARE(f.prompts.questions[0].caption, std::string("Varkel"));
    const std::string file = std::filesystem::path(f.View().DataFile()).filename().string();
    QCOMPARE(f.prompts.questions[0].text,
             "1 reading has not been written to " + file + " yet and will be lost. Close anyway?");
    QVERIFY(f.View().IsMeasuring());  // "No": the run goes on
    QVERIFY(f.line->open);

    f.prompts.yesNoAnswer = true;
    QVERIFY(f.frame->close());
    QVERIFY(!f.line->open);
    QVERIFY(!f.View().IsMeasuring());
}

QTEST_MAIN(MainFrameTest)
#include "test_main_frame.moc"
