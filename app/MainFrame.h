#pragma once
// CMainFrame: the program's one top-level window. Menu, accelerators, a dockable toolbar
// (Start, Stop, About) and a status bar (message pane, CAP, NUM, SCRL) around the
// measurement view. The view handles Start, Stop and "Save data"; About, New, Open, the
// recent files, Save, Save As, Export and the logarithmic axis go to the application
// through appCommand, as does a file dropped on the window; Exit and the bar toggles are
// handled here.

#include <QHash>
#include <QMainWindow>
#include <QString>

class CVarkelView;
class QAction;
class QLabel;
class QMenu;
class QMimeData;
class QTimer;
class QToolBar;
class UiPrompts;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // Takes the view as its central widget (and owns it from now on).
    CMainFrame(CVarkelView* pView, UiPrompts& prompts, QWidget* pParent = nullptr);
    ~CMainFrame() override;

    // The action carrying a command id, or null. Each id has one action; an id reached by
    // several keys carries all of them as shortcuts.
    QAction* Action(int commandId) const { return m_actions.value(commandId, nullptr); }
    QMenu* Menu(int index) const;
    QToolBar* ToolBar() const { return m_wndToolBar; }
    QLabel* MessagePane() const { return m_pMessagePane; }
    // The CAP, NUM or SCRL pane by its indicator id.
    QLabel* IndicatorPane(int indicatorId) const {
        return m_indicators.value(indicatorId, nullptr);
    }
    CVarkelView* View() const { return m_pView; }

    // The caption: "<document title> - Varkel".
    void SetDocumentTitle(const QString& title);

    // Enables Start and Stop (menu and toolbar) as the view says, and the commands that
    // would replace what the charts show (Open, the recent files, drops) and Save and
    // Save As only while no measurement runs.
    void UpdateCommandUI();

    // The File menu's recent files, newest first ("&1 path" ...); at most four are shown.
    void SetRecentFiles(const QStringList& paths);

    // A command's prompt in the message pane while its menu item is highlighted or its button
    // pointed at; ClearPrompt returns to "Ready" or the run's progress.
    void ShowPrompt(int commandId);
    void ClearPrompt();

    // Re-reads the lock keys into the CAP, NUM and SCRL panes.
    void UpdateIndicators();

signals:
    // About, New, Open, Save, Save As, a recent file (ID_FILE_MRU_FILE1 + index), Export
    // and the logarithmic axis (its action's check state tells which): the application's.
    void appCommand(int commandId);
    // A local file dropped on the window while no measurement runs: to be opened.
    void fileDropped(const QString& path);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QAction* AddCommand(int commandId, const QString& text);
    QAction* AddAppCommand(int commandId, const QString& text);
    QString DroppedFile(const QMimeData* data) const;
    void CreateMenus();
    void CreateAccelerators();
    void CreateToolBar();
    void CreateStatusBar();
    void UpdateMessagePane();
    void OnViewMenuAboutToShow();

    CVarkelView* m_pView;
    UiPrompts& m_prompts;
    QHash<int, QAction*> m_actions;
    QList<QMenu*> m_menus;
    QToolBar* m_wndToolBar = nullptr;
    QLabel* m_pMessagePane = nullptr;
    QHash<int, QLabel*> m_indicators;
    QTimer* m_pIndicatorTimer = nullptr;
    bool m_bPromptShown = false;
    QString m_strPrompt;
    QString m_strRunMessage;
    QString m_strReadout;  // the sample under the pointer, while it is over a chart
    QList<QAction*> m_recentFiles;
    QAction* m_pRecentSeparator = nullptr;
};
