#include "VarkelApp.h"

#include <QSize>

#include "AboutDlg.h"
#include "CommandIds.h"
#include "CommandLine.h"
#include "MainFrame.h"
#include "RecentFileList.h"
#include "VarkelDoc.h"
#include "ViewSettings.h"
#include "app/ports/PortFactory.h"
#include "measure/Clock.h"
#include "measure/MeasurementRun.h"
#include "platform/SafeFileWrite.h"
#include "view/DialogPrompts.h"
#include "view/RecordedRun.h"
#include "view/VarkelView.h"

namespace {
// The window's first size in pixels: room for the status text and both charts side by side.
constexpr QSize kInitialWindowSize(1000, 700);
}  // namespace

CVarkelApp::CVarkelApp(const CommandLine& line)
    : m_strDocumentFile(QString::fromStdString(line.documentFile)),
      m_pOwnClock(std::make_unique<SteadyClock>()),
      m_clock(*m_pOwnClock),
      m_ports(PortMapFor(line)),
      m_pOwnFactory(std::make_unique<DefaultPortFactory>(*m_pOwnClock)),
      m_factory(*m_pOwnFactory),
      m_pRecords(std::make_unique<MeasurementRecords>()),
      m_pRun(std::make_unique<MeasurementRun>(m_pRecords->state, m_pRecords->readings,
                                              m_pRecords->store, m_clock, m_ports, m_factory)),
      m_pDialogPrompts(std::make_unique<DialogPrompts>()),
      m_prompts(*m_pDialogPrompts),
      m_pRecent(std::make_unique<RecentFileList>(RecentFileList::DefaultProfilePath())) {}

CVarkelApp::CVarkelApp(const CommandLine& line, Clock& clock, SerialPortFactory& factory,
                       UiPrompts& prompts, const QString& profilePath)
    : m_strDocumentFile(QString::fromStdString(line.documentFile)),
      m_clock(clock),
      m_ports(PortMapFor(line)),
      m_factory(factory),
      m_pRecords(std::make_unique<MeasurementRecords>()),
      m_pRun(std::make_unique<MeasurementRun>(m_pRecords->state, m_pRecords->readings,
                                              m_pRecords->store, m_clock, m_ports, m_factory)),
      m_prompts(prompts),
      m_pRecent(std::make_unique<RecentFileList>(profilePath)) {}

CVarkelApp::~CVarkelApp() = default;

CVarkelView* CVarkelApp::View() const { return m_pMainFrame ? m_pMainFrame->View() : nullptr; }

bool CVarkelApp::InitInstance() {
    m_pDoc = std::make_unique<CVarkelDoc>(m_prompts, m_pRecent.get());
    auto* view = new CVarkelView(*m_pRun, m_pRecords->readings, m_pRecords->store, m_prompts);
    m_pMainFrame = std::make_unique<CMainFrame>(view, m_prompts);
    if (m_pDialogPrompts) m_pDialogPrompts->SetOwner(m_pMainFrame.get());
    CMainFrame* frame = m_pMainFrame.get();
    CVarkelDoc* doc = m_pDoc.get();
    connect(doc, &CVarkelDoc::titleChanged, frame, &CMainFrame::SetDocumentTitle);
    connect(doc, &CVarkelDoc::shownRunChanged, view,
            [view](std::shared_ptr<const RecordedRun> run) {
                if (run) {
                    view->ShowRecordedRun(std::move(run));
                } else {
                    view->ShowLiveRun();
                }
            });
    // Written at once: a program killed or crashed still leaves last night's run listed. A
    // profile that cannot be written costs only the list.
    connect(doc, &CVarkelDoc::recentFilesChanged, frame, [this, frame] {
        frame->SetRecentFiles(m_pRecent->Entries());
        m_pRecent->Save();
    });
    connect(view, &CVarkelView::runStarted, doc, &CVarkelDoc::OnRunStarted);
    connect(view, &CVarkelView::runEnded, this, &CVarkelApp::OnRunEnded);
    connect(frame, &CMainFrame::appCommand, this, &CVarkelApp::OnCommand);
    connect(frame, &CMainFrame::fileDropped, this, &CVarkelApp::OnFileDropped);
    frame->SetRecentFiles(m_pRecent->Entries());

    const bool logAxis = ReadLogImpedanceAxis(m_pRecent->ProfilePath());
    frame->Action(ID_VIEW_LOG_IMPEDANCE)->setChecked(logAxis);
    view->SetLogImpedanceAxis(logAxis);

    m_pDoc->OnNewDocument();
    // A file that is not a run is said so; the window opens empty all the same, so the user
    // can open another one rather than start the program again.
    if (!m_strDocumentFile.isEmpty()) m_pDoc->OpenFile(m_strDocumentFile);
    m_pMainFrame->resize(kInitialWindowSize);
    m_pMainFrame->show();
    return true;
}

void CVarkelApp::ExitInstance() { m_pRecent->Save(); }

void CVarkelApp::OnCommand(int commandId) {
    switch (commandId) {
        case ID_APP_ABOUT: OnAppAbout(); break;
        case ID_FILE_NEW: OnFileNew(); break;
        case ID_FILE_OPEN: OnFileOpen(); break;
        case ID_FILE_SAVE: OnFileSave(); break;
        case ID_FILE_SAVE_AS: OnFileSaveAs(); break;
        case ID_FILE_EXPORT_IMAGE: OnFileExportImage(); break;
        case ID_VIEW_LOG_IMPEDANCE: OnViewLogImpedanceAxis(); break;
        default:
            if (commandId >= ID_FILE_MRU_FILE1 && commandId <= ID_FILE_MRU_FILE4) {
                OnOpenRecentFile(commandId - ID_FILE_MRU_FILE1);
            }
            break;
    }
}

void CVarkelApp::OnAppAbout() {
    CAboutDlg about(m_pMainFrame.get());
    about.exec();
}

// New renews the document only: the view, the run and its records stay as they are.
void CVarkelApp::OnFileNew() { m_pDoc->OnNewDocument(); }

void CVarkelApp::OnFileOpen() {
    if (!m_pRun->IsMeasuring()) m_pDoc->OnFileOpen();
}

void CVarkelApp::OnOpenRecentFile(int index) {
    if (!m_pRun->IsMeasuring()) m_pDoc->OnOpenRecentFile(index);
}

void CVarkelApp::OnFileDropped(const QString& path) {
    if (!m_pRun->IsMeasuring()) m_pDoc->OpenFile(path);
}

void CVarkelApp::OnRunEnded(const QString& dataFile) {
    const bool followed = m_pDoc->IsRecording();
    m_pDoc->OnRunEnded(dataFile);
    // The live store stopped at its capacity, the data file did not: shown whole now. With
    // lines still waiting for the file, or a file that cannot be read, the store stays shown.
    if (followed && m_pRecords->store.count >= SampleStore::kCapacity &&
        m_pRun->PendingLines() == 0) {
        QString ignored;
        m_pDoc->OnOpenDocument(dataFile, &ignored);
    }
}

void CVarkelApp::OnFileSave() { m_pDoc->OnFileSave(); }
void CVarkelApp::OnFileSaveAs() { m_pDoc->OnFileSaveAs(); }

void CVarkelApp::OnFileExportImage() {
    CVarkelView* view = View();
    const QString path = QString::fromStdString(m_prompts.AskImageFileName());
    if (path.isEmpty() || !view) return;
    QImage image(view->size(), QImage::Format_RGB32);
    QString error;
    if (image.isNull()) {
        const QString why =
            view->width() < 1 || view->height() < 1
                ? QStringLiteral(": the window shows no charts at %1 x %2 pixels")
                : QStringLiteral(": not enough memory for an image of %1 x %2 pixels");
        error = path + why.arg(view->width()).arg(view->height());
    } else {
        view->Render(image);
        if (WritePngSafely(image, path, &error)) return;
    }
    m_prompts.ShowWarning(kAppName, "Failed to export the chart image.", error.toStdString());
}

void CVarkelApp::OnViewLogImpedanceAxis() {
    const bool on = m_pMainFrame->Action(ID_VIEW_LOG_IMPEDANCE)->isChecked();
    View()->SetLogImpedanceAxis(on);
    // A profile that cannot be written costs only the choice at the next start.
    WriteLogImpedanceAxis(m_pRecent->ProfilePath(), on);
}
