#include "MainFrame.h"

#include <filesystem>

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <algorithm>
#include <iterator>

#include "CommandIds.h"
#include "CommandStrings.h"
#include "IconArt.h"
#include "measure/MeasurementRun.h"
#include "platform/desktop/KeyboardLocks.h"
#include "view/UiPrompts.h"
#include "view/VarkelView.h"

namespace {
// Qt tells nothing when a lock key changes: the CAP, NUM and SCRL panes read the locks
// this often.
constexpr int kIndicatorPollMs = 250;
// Room around an indicator's text, beyond the text's own width: the sunken frame and air.
constexpr int kIndicatorPaddingPx = 8;
// A recent file's menu text is cut to about this many characters; its folder's first few
// characters stay, however long the file's name.
constexpr int kRecentFileShownChars = 60;
constexpr int kRecentFileMinFolderChars = 3;
const char* const kCommandProperty = "varkelCommandId";
}  // namespace

CMainFrame::CMainFrame(CVarkelView* pView, UiPrompts& prompts, QWidget* pParent)
    : QMainWindow(pParent), m_pView(pView), m_prompts(prompts) {
    setCentralWidget(m_pView);
    setWindowIcon(ApplicationIcon());
    CreateMenus();
    CreateAccelerators();
    CreateToolBar();
    CreateStatusBar();
    SetDocumentTitle(QStringLiteral("Untitled"));

    connect(m_pView, &CVarkelView::commandStateChanged, this, &CMainFrame::UpdateCommandUI);
    connect(m_pView, &CVarkelView::runStatusChanged, this, [this](const QString& message) {
        m_strRunMessage = message;
        UpdateMessagePane();
    });
    connect(m_pView, &CVarkelView::sampleReadoutChanged, this, [this](const QString& text) {
        m_strReadout = text;
        UpdateMessagePane();
    });
    setAcceptDrops(true);
    UpdateCommandUI();
}

CMainFrame::~CMainFrame() {
    // The view dies with the frame's children, after this frame's members: no signal of its
    // may reach them any more.
    disconnect(m_pView, nullptr, this, nullptr);
}

QAction* CMainFrame::AddCommand(int commandId, const QString& text) {
    auto* action = new QAction(text, this);
    action->setData(commandId);
    action->setProperty(kCommandProperty, commandId);
    const CommandStrings strings = CommandStringsFor(commandId);
    if (!strings.tooltip.isEmpty()) action->setToolTip(strings.tooltip);
    m_actions.insert(commandId, action);
    return action;
}

QAction* CMainFrame::AddAppCommand(int commandId, const QString& text) {
    QAction* action = AddCommand(commandId, text);
    connect(action, &QAction::triggered, this, [this, commandId] { emit appCommand(commandId); });
    return action;
}

QMenu* CMainFrame::Menu(int index) const {
    return index >= 0 && index < m_menus.size() ? m_menus[index] : nullptr;
}

void CMainFrame::CreateMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    // Open and Save carry their accelerators (CreateAccelerators); Save As has none.
    file->addAction(AddCommand(ID_FILE_OPEN, QStringLiteral("&Open...")));
    file->addAction(AddCommand(ID_FILE_SAVE, QStringLiteral("&Save")));
    file->addAction(AddAppCommand(ID_FILE_SAVE_AS, QStringLiteral("Save &As...")));
    file->addSeparator();
    file->addAction(AddAppCommand(ID_FILE_EXPORT_IMAGE, QStringLiteral("&Export Chart Image...")));
    file->addSeparator();
    QAction* saveData = AddCommand(ID_FILE_SAVEDATA, QStringLiteral("&Save data"));
    connect(saveData, &QAction::triggered, m_pView, &CVarkelView::OnFileSaveData);
    file->addAction(saveData);
    m_pRecentSeparator = file->addSeparator();
    for (int id = ID_FILE_MRU_FILE1; id <= ID_FILE_MRU_FILE4; ++id) {
        QAction* recent = AddAppCommand(id, QString());
        recent->setVisible(false);
        file->addAction(recent);
        m_recentFiles.append(recent);
    }
    m_pRecentSeparator->setVisible(false);
    file->addSeparator();
    QAction* exit = AddCommand(ID_APP_EXIT, QStringLiteral("E&xit"));
    connect(exit, &QAction::triggered, this, &QWidget::close);
    file->addAction(exit);

    QMenu* measurement = menuBar()->addMenu(QStringLiteral("&Measurement"));
    QAction* start = AddCommand(ID_MEASUREMENT_START, QStringLiteral("Start"));
    connect(start, &QAction::triggered, m_pView, &CVarkelView::OnMeasurementStart);
    measurement->addAction(start);
    QAction* stop = AddCommand(ID_MEASUREMENT_STOP, QStringLiteral("Stop"));
    connect(stop, &QAction::triggered, m_pView, &CVarkelView::OnMeasurementStop);
    measurement->addAction(stop);

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    QAction* toolbar = AddCommand(ID_VIEW_TOOLBAR, QStringLiteral("&Toolbar"));
    toolbar->setCheckable(true);
    toolbar->setChecked(true);
    view->addAction(toolbar);
    QAction* statusBarToggle = AddCommand(ID_VIEW_STATUS_BAR, QStringLiteral("&Status Bar"));
    statusBarToggle->setCheckable(true);
    statusBarToggle->setChecked(true);
    connect(statusBarToggle, &QAction::toggled, this,
            [this](bool on) { statusBar()->setVisible(on); });
    view->addAction(statusBarToggle);
    view->addSeparator();
    QAction* logAxis =
        AddAppCommand(ID_VIEW_LOG_IMPEDANCE, QStringLiteral("&Logarithmic Impedance Axis"));
    logAxis->setCheckable(true);
    view->addAction(logAxis);
    connect(view, &QMenu::aboutToShow, this, &CMainFrame::OnViewMenuAboutToShow);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    QAction* about = AddCommand(ID_APP_ABOUT, QStringLiteral("&About Varkel..."));
    connect(about, &QAction::triggered, this, [this] { emit appCommand(ID_APP_ABOUT); });
    help->addAction(about);

    m_menus = {file, measurement, view, help};
    for (QMenu* menu : m_menus) {
        connect(menu, &QMenu::hovered, this, [this](QAction* action) {
            ShowPrompt(action->property(kCommandProperty).toInt());
        });
        connect(menu, &QMenu::aboutToHide, this, &CMainFrame::ClearPrompt);
        // Start and Stop follow the run also when the menu opens between two updates.
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
    }
}

void CMainFrame::CreateAccelerators() {
    struct Accelerator {
        int id;
        QList<QKeySequence> keys;
    };
    const Accelerator table[] = {
        {ID_FILE_NEW, {QKeySequence(Qt::CTRL | Qt::Key_N)}},
        {ID_FILE_OPEN, {QKeySequence(Qt::CTRL | Qt::Key_O)}},
        {ID_FILE_SAVE, {QKeySequence(Qt::CTRL | Qt::Key_S)}},
        {ID_EDIT_UNDO,
         {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)}},
        {ID_EDIT_CUT,
         {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)}},
        {ID_EDIT_COPY,
         {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)}},
        {ID_EDIT_PASTE,
         {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)}},
        {ID_NEXT_PANE, {QKeySequence(Qt::Key_F6)}},
        {ID_PREV_PANE, {QKeySequence(Qt::SHIFT | Qt::Key_F6)}},
    };
    for (const Accelerator& accelerator : table) {
        // Open and Save are on the File menu already: the same action takes the keys.
        QAction* action = m_actions.value(accelerator.id, nullptr);
        if (!action) action = AddCommand(accelerator.id, QString());
        action->setShortcuts(accelerator.keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        const int id = accelerator.id;
        if (id == ID_FILE_NEW || id == ID_FILE_OPEN || id == ID_FILE_SAVE) {
            connect(action, &QAction::triggered, this, [this, id] { emit appCommand(id); });
        } else {
            // Edit commands and pane switching have no handler here: the keys do nothing.
            action->setEnabled(false);
        }
    }
}

void CMainFrame::CreateToolBar() {
    m_wndToolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    m_wndToolBar->setObjectName(QStringLiteral("toolbar"));
    m_wndToolBar->setProperty(kCommandProperty, static_cast<int>(ID_VIEW_TOOLBAR));
    m_wndToolBar->setIconSize(QSize(kToolbarImageWidth, kToolbarImageHeight));
    m_wndToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_wndToolBar->setMovable(true);
    m_wndToolBar->setFloatable(true);
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);

    const int buttons[kToolbarImages] = {ID_MEASUREMENT_START, ID_MEASUREMENT_STOP, ID_APP_ABOUT};
    for (int n = 0; n < kToolbarImages; ++n) {
        QAction* action = m_actions.value(buttons[n]);
        action->setIcon(QIcon(QPixmap::fromImage(ToolbarImage(n))));
        m_wndToolBar->addAction(action);
        if (QWidget* button = m_wndToolBar->widgetForAction(action)) {
            button->setProperty(kCommandProperty, buttons[n]);
            button->installEventFilter(this);
        }
    }

    // The View menu's check mark follows the toolbar, however it was hidden or shown.
    QAction* toggle = m_actions.value(ID_VIEW_TOOLBAR);
    connect(toggle, &QAction::toggled, m_wndToolBar, &QToolBar::setVisible);
    connect(m_wndToolBar, &QToolBar::visibilityChanged, this,
            [this, toggle](bool) { toggle->setChecked(!m_wndToolBar->isHidden()); });
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setProperty(kCommandProperty, static_cast<int>(ID_VIEW_STATUS_BAR));
    m_pMessagePane = new QLabel(IdleMessage(), bar);
    m_pMessagePane->setProperty(kCommandProperty, static_cast<int>(ID_SEPARATOR));
    bar->addWidget(m_pMessagePane, 1);

    const struct {
        int id;
        const char* text;
    } panes[] = {
        {ID_INDICATOR_CAPS, "CAP"}, {ID_INDICATOR_NUM, "NUM"}, {ID_INDICATOR_SCRL, "SCRL"}};
    for (const auto& pane : panes) {
        auto* label = new QLabel(bar);
        label->setProperty(kCommandProperty, pane.id);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(Qt::AlignCenter);
        // As wide as its text, also while empty.
        label->setMinimumWidth(
            label->fontMetrics().horizontalAdvance(QString::fromLatin1(pane.text)) +
            kIndicatorPaddingPx);
        label->setProperty("indicatorText", QString::fromLatin1(pane.text));
        bar->addPermanentWidget(label);
        m_indicators.insert(pane.id, label);
    }
    m_pIndicatorTimer = new QTimer(this);
    connect(m_pIndicatorTimer, &QTimer::timeout, this, &CMainFrame::UpdateIndicators);
    UpdateIndicators();
    if (QueryKeyboardLocks().known) m_pIndicatorTimer->start(kIndicatorPollMs);
}

void CMainFrame::UpdateIndicators() {
    const KeyboardLocks locks = QueryKeyboardLocks();
    const bool on[] = {locks.caps, locks.num, locks.scroll};
    const int ids[] = {ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
    for (std::size_t i = 0; i < std::size(ids); ++i) {
        QLabel* label = m_indicators.value(ids[i]);
        label->setText(locks.known && on[i] ? label->property("indicatorText").toString()
                                            : QString());
    }
}

void CMainFrame::SetDocumentTitle(const QString& title) {
    setWindowTitle(title + QStringLiteral(" - ") + QString::fromLatin1(kAppName));
}

void CMainFrame::UpdateCommandUI() {
    m_actions.value(ID_MEASUREMENT_START)->setEnabled(m_pView->IsStartEnabled());
    m_actions.value(ID_MEASUREMENT_STOP)->setEnabled(m_pView->IsStopEnabled());
    // The live run owns the charts, and its data file is not a finished document yet.
    const bool idle = !m_pView->IsMeasuring();
    for (int id : {ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS})
        m_actions.value(id)->setEnabled(idle);
    for (QAction* recent : m_recentFiles) recent->setEnabled(idle);
}

void CMainFrame::SetRecentFiles(const QStringList& paths) {
    const QString cut = QStringLiteral("...") + QDir::separator();
    for (int n = 0; n < m_recentFiles.size(); ++n) {
        QAction* action = m_recentFiles[n];
        action->setVisible(n < paths.size());
        if (n >= paths.size()) continue;
        QString shown = QDir::toNativeSeparators(paths[n]);
        if (shown.size() > kRecentFileShownChars) {
            // The folder's middle goes; the file's name stays whole.
            const QString name = QFileInfo(paths[n]).fileName();
            const int head =
                std::max(kRecentFileMinFolderChars,
                         kRecentFileShownChars - static_cast<int>(name.size() + cut.size()));
            shown = shown.left(head) + cut + name;
        }
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        action->setText(QStringLiteral("&%1 %2").arg(n + 1).arg(shown));
    }
    m_pRecentSeparator->setVisible(!paths.isEmpty());
}

void CMainFrame::ShowPrompt(int commandId) {
    m_bPromptShown = true;
    m_strPrompt = CommandStringsFor(commandId).prompt;
    UpdateMessagePane();
}

void CMainFrame::ClearPrompt() {
    m_bPromptShown = false;
    m_strPrompt.clear();
    UpdateMessagePane();
}

void CMainFrame::UpdateMessagePane() {
    if (m_bPromptShown) {
        m_pMessagePane->setText(m_strPrompt);
    } else if (!m_strReadout.isEmpty()) {
        m_pMessagePane->setText(m_strReadout);
    } else {
        m_pMessagePane->setText(m_strRunMessage.isEmpty() ? IdleMessage() : m_strRunMessage);
    }
}

void CMainFrame::OnViewMenuAboutToShow() {
    m_actions.value(ID_VIEW_TOOLBAR)->setChecked(!m_wndToolBar->isHidden());
    m_actions.value(ID_VIEW_STATUS_BAR)->setChecked(!statusBar()->isHidden());
}

bool CMainFrame::event(QEvent* event) {
    // Prompts are routed through ShowPrompt/ClearPrompt; Qt's status tips would overwrite
    // the message pane with a temporary message of their own.
    if (event->type() == QEvent::StatusTip) return true;
    return QMainWindow::event(event);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    const QVariant id = watched->property(kCommandProperty);
    if (id.isValid()) {
        switch (event->type()) {
            case QEvent::Enter: ShowPrompt(id.toInt()); break;
            case QEvent::Leave: ClearPrompt(); break;
            case QEvent::ToolTip:
                // A button without a tooltip string shows none (Qt would show its text).
                if (CommandStringsFor(id.toInt()).tooltip.isEmpty()) return true;
                break;
            default: break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    MeasurementRun& run = m_pView->Run();
    if (run.IsMeasuring() || run.PendingLines() > 0) {
        const DataFile::Status status = run.FlushDataFile();
        if (status.pending > 0) {
            const std::string file = std::filesystem::path(run.PendingFile()).filename().string();
            const std::string text = std::to_string(status.pending) +
                                     (status.pending == 1 ? " reading has" : " readings have") +
                                     " not been written to " + file +
                                     " yet and will be lost. Close anyway?";
            if (!m_prompts.AskYesNo(kAppName, text, status.error)) {
                event->ignore();
                return;
            }
        }
    }
    // Ends a run now ("LOCL 0\r", port closed), not only when the view is destroyed later.
    m_pView->StopMeasurement(RunEnd::WindowClosed);
    event->accept();
}

QString CMainFrame::DroppedFile(const QMimeData* data) const {
    if (!data || !data->hasUrls() || m_pView->IsMeasuring()) return {};
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
    return urls.front().toLocalFile();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    // One local file, and only while the charts are free to show it.
    if (DroppedFile(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit fileDropped(path);
}
