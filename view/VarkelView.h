#pragma once
// CVarkelView: the main window's central widget. It paints the status text and the two
// charts from the process-wide records, starts the one-second timer at its first paint,
// forwards every tick to the measurement run, and carries the Start, Stop and "Save data"
// commands. Destroying it ends a running measurement.

#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>

#include <memory>
#include <string>

#include "ChartNavigation.h"
#include "RunStatusText.h"
#include "measure/MeasurementRun.h"

class UiPrompts;
struct Readings;
struct RecordedRun;
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
    // without the first-paint timer step; drawn receives how the charts came out.
    void Render(QImage& image, ChartMappings* drawn = nullptr) const;

    // What the charts and the status text show: a recorded run (an opened data file), or
    // the live run's records. Both return to the automatic view. A successful Start shows
    // the live run again.
    void ShowRecordedRun(std::shared_ptr<const RecordedRun> run);
    void ShowLiveRun();
    const RecordedRun* ShownRun() const { return m_pShownRun.get(); }

    // How the charts are looked at: the zoom (fixed ranges) and the impedance axis.
    const ChartViews& Views() const { return m_views; }
    // How they came out at the last paint.
    const ChartMappings& DrawnCharts() const { return m_drawn; }
    // Back to the automatic ranges: the picture as before any zoom (double-click, Home).
    void ResetZoom();
    void SetLogImpedanceAxis(bool on);
    bool LogImpedanceAxis() const { return m_views.logImpedance; }

    // The sample under the pointer in words, empty while the pointer is off the charts.
    const QString& SampleReadout() const { return m_strReadout; }

    // The process-wide first-paint flag: true until the first paint of any view.
    static bool FirstPaintPending();

signals:
    // Start's and Stop's enabled states may have changed.
    void commandStateChanged();
    // The run message changed (see RunStatusMessage).
    void runStatusChanged(const QString& message);
    // A run has begun recording into dataFile (a full path), or has been stopped. Not when
    // the window closes (nobody looks at the document again) or the view is destroyed.
    void runStarted(const QString& dataFile);
    void runEnded(const QString& dataFile);
    // The sample readout changed (see SampleReadout).
    void sampleReadoutChanged(const QString& text);

protected:
    // Asks for the one-second timer: its id, or 0 when the system has none left.
    virtual int StartTickTimer();
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    // Zoom, pan, reset and the sample readout (VarkelViewNavigation.cpp).
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void StartTimerOnFirstPaint();
    void PublishRunStatus();
    SampleSeries ShownSamples() const;
    const Readings& ShownReadings() const;
    // Paints the back buffer at the view's size and keeps how the charts came out.
    void PaintBackBuffer();
    // The drawing pointer positions are read through: the last paint's, if it was at the
    // view's present size, else a fresh one.
    const ChartMappings& CurrentDrawing();
    void SetViews(const ChartViews& views);
    void UpdateReadout(const QPoint& position);
    // After a paint: the picture under a resting pointer may have changed (zoom, a reading).
    void RefreshReadout();
    void SetReadout(const QString& text);

    MeasurementRun& m_run;
    const Readings& m_readings;
    const SampleStore& m_store;
    UiPrompts& m_prompts;
    QImage m_backBuffer;
    RunWarnings m_warnings;
    int m_nTimerId = 0;

    std::shared_ptr<const RecordedRun> m_pShownRun;  // null: the live run's records
    ChartViews m_views;
    ChartMappings m_drawn;  // of the back buffer's last paint
    bool m_bDrawnValid = false;
    QString m_strReadout;
    bool m_bPointerInside = false;
    QPoint m_lastPointer;
    // A drag in progress: the chart grabbed, where, and the view and drawing then.
    ChartId m_dragChart = ChartId::None;
    QPoint m_dragStart;
    ChartViews m_viewsAtPress;
    ChartMappings m_drawnAtPress;
};
