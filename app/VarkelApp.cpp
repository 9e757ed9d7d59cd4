#include "VarkelApp.h"

#include "AboutDlg.h"
#include "CommandIds.h"
#include "CommandLine.h"
#include "MainFrame.h"
#include "RecentFileList.h"
#include "VarkelDoc.h"
#include "measure/Clock.h"
#include "measure/MeasurementRun.h"
#include "platform/serial/PortFactory.h"
#include "view/DialogPrompts.h"
#include "view/VarkelView.h"

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
    connect(m_pDoc.get(), &CVarkelDoc::titleChanged, m_pMainFrame.get(), &CMainFrame::SetDocumentTitle);
    connect(m_pMainFrame.get(), &CMainFrame::appCommand, this, &CVarkelApp::OnCommand);

    if (m_strDocumentFile.isEmpty()) {
        m_pDoc->OnNewDocument();
    } else {
        QString error;
        if (!m_pDoc->OnOpenDocument(m_strDocumentFile, &error)) {
            m_prompts.ShowWarning(kAppName, "Failed to open document.", error.toStdString());
            return false;
        }
    }
    m_pMainFrame->resize(1000, 700);
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
        default: break;
    }
}

void CVarkelApp::OnAppAbout() {
    CAboutDlg about(m_pMainFrame.get());
    about.exec();
}

// New renews the document only: the view, the run and its records stay as they are.
void CVarkelApp::OnFileNew() { m_pDoc->OnNewDocument(); }
void CVarkelApp::OnFileOpen() { m_pDoc->OnFileOpen(); }
void CVarkelApp::OnFileSave() { m_pDoc->OnFileSave(); }
