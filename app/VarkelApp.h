#pragma once
// CVarkelApp: the application. It owns the process-wide measurement records, the clock,
// the port map and factory, the one measurement run, the document and the main window,
// and handles About, New, Open (also of recent and dropped files), Save, Save As, Export
// and the logarithmic impedance axis.

#include <QObject>
#include <QString>

#include <memory>

#include "measure/MeasurementState.h"
#include "measure/PortMap.h"
#include "measure/SampleStore.h"

class CMainFrame;
class CVarkelDoc;
class CVarkelView;
class Clock;
class DialogPrompts;
class MeasurementRun;
class RecentFileList;
class SerialPortFactory;
class UiPrompts;
struct CommandLine;

// The records the run works on. The store is large (3 x 65,536 doubles): keep this on the heap.
struct MeasurementRecords {
    MeasurementState state;
    Readings readings;
    SampleStore store;
};

class CVarkelApp : public QObject {
    Q_OBJECT
public:
    // The program: a steady clock, the real ports (or the simulator as the options map
    // them), the real dialogs, the profile next to the user's configuration.
    explicit CVarkelApp(const CommandLine& line);
    // For tests: their clock, ports and prompts, and a profile of their choosing.
    CVarkelApp(const CommandLine& line, Clock& clock, SerialPortFactory& factory,
               UiPrompts& prompts, const QString& profilePath);
    ~CVarkelApp() override;

    // Creates the document, the main window and the view, opens the run named on the
    // command line and shows the window. A file that cannot be opened as a run is refused
    // with a message saying why, and the window opens untitled and empty all the same.
    // False when the program should end.
    bool InitInstance();
    // Writes the profile (the recent-file list; it is also written whenever it changes).
    void ExitInstance();

    void OnAppAbout();
    void OnFileNew();
    // Open, a recent file and a drop replace what the charts show: refused while a
    // measurement runs.
    void OnFileOpen();
    void OnOpenRecentFile(int index);
    void OnFileDropped(const QString& path);
    void OnFileSave();
    void OnFileSaveAs();
    // The view as the window shows it, as a PNG image at the view's size.
    void OnFileExportImage();
    // Follows the View menu's check mark and keeps it in the profile.
    void OnViewLogImpedanceAxis();
    // The window's run has ended: its data file becomes the document, and a run longer
    // than the live store is shown whole from it.
    void OnRunEnded(const QString& dataFile);

    CMainFrame* MainFrame() const { return m_pMainFrame.get(); }
    CVarkelView* View() const;
    CVarkelDoc& Document() const { return *m_pDoc; }
    MeasurementRecords& Records() const { return *m_pRecords; }
    MeasurementRun& Run() const { return *m_pRun; }
    RecentFileList& RecentFiles() const { return *m_pRecent; }

private:
    void OnCommand(int commandId);

    QString m_strDocumentFile;
    std::unique_ptr<Clock> m_pOwnClock;
    Clock& m_clock;
    PortMap m_ports;
    std::unique_ptr<SerialPortFactory> m_pOwnFactory;
    SerialPortFactory& m_factory;
    std::unique_ptr<MeasurementRecords> m_pRecords;
    std::unique_ptr<MeasurementRun> m_pRun;
    std::unique_ptr<DialogPrompts> m_pDialogPrompts;
    UiPrompts& m_prompts;
    std::unique_ptr<RecentFileList> m_pRecent;
    std::unique_ptr<CVarkelDoc> m_pDoc;
    // Destroyed first: the view's destructor ends a running measurement on the run above.
    std::unique_ptr<CMainFrame> m_pMainFrame;
};
