#pragma once
// CVarkelView: the main window's central widget. It paints the status text and the two
// charts from the process-wide records, starts the one-second timer at its first paint,
// forwards every tick to the measurement run, and carries the Start, Stop and "Save data"
// commands. Destroying it ends a running measurement.

#include <QImage>
#include <QString>
#include <QWidget>

#include <string>

#include "RunStatusText.h"
#include "measure/MeasurementRun.h"

class UiPrompts;
struct Readings;
struct SampleStore;

class CVarkelView : public QWidget {
    Q_OBJECT
public:
    // The records and the run belong to the application and outlive the view.
    CVarkelView(MeasurementRun& run, const Readings& readings, const SampleStore& store,
                UiPrompts& prompts, QWidget* pParent = nullptr);
    ~CVarkelView() override;

    // Start: unless a run goes on, the start sequence, then the time zero again and a repaint.
    void OnMeasurementStart();
    // The start sequence: data file name, empty data file, Setup, BeginMeasurement. 0 when
    // the run has begun, 1 when cancelled or failed (the user has been told why).
    int StartMeasurement();
    // Stop: ends the run, then repaints.
    void OnMeasurementStop();
    // "Save data": does nothing.
    void OnFileSaveData() {}
    // Ends a running measurement ("LOCL 0\r", port closed); nothing while idle. why goes
    // into the run record.
    void StopMeasurement(RunEnd why = RunEnd::Stopped);

    bool IsStartEnabled() const;
    bool IsStopEnabled() const;
    bool IsMeasuring() const { return !IsStartEnabled(); }

    // One tick of the one-second timer; the timer event calls it, tests too.
    void OnTimer();

    // The status bar's run message: progress and warnings while a run goes, lines still
    // waiting for their file after it, else empty.
    QString RunStatusMessage() const;

    MeasurementRun& Run() { return m_run; }
    const std::string& DataFile() const;

    // Paints the view as it looks now into image (its own size), as paintEvent does,
    // without the first-paint timer step.
    void Render(QImage& image) const;

    // The process-wide first-paint flag: true until the first paint of any view.
    static bool FirstPaintPending();

signals:
    // Start's and Stop's enabled states may have changed.
    void commandStateChanged();
    // The run message changed (see RunStatusMessage).
    void runStatusChanged(const QString& message);

protected:
    // Asks for the one-second timer: its id, or 0 when the system has none left.
    virtual int StartTickTimer();
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void StartTimerOnFirstPaint();
    void PublishRunStatus();

    MeasurementRun& m_run;
    const Readings& m_readings;
    const SampleStore& m_store;
    UiPrompts& m_prompts;
    QImage m_backBuffer;
    RunWarnings m_warnings;
    int m_nTimerId = 0;
};
