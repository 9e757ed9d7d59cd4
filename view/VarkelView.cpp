#include "VarkelView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTimerEvent>

#include "MeasurementImage.h"
#include "RecordedRun.h"
#include "UiPrompts.h"
#include "measure/MeasurementRun.h"

namespace {
// One flag for the process: only the first paint of the first view asks for the timer, and
// a refusal is never retried.
bool g_bFirstPaint = true;
constexpr int kTickMs = 1000;
}  // namespace

CVarkelView::CVarkelView(MeasurementRun& run, const Readings& readings, const SampleStore& store,
                         UiPrompts& prompts, QWidget* pParent)
    : QWidget(pParent), m_run(run), m_readings(readings), m_store(store), m_prompts(prompts) {
    setAttribute(Qt::WA_OpaquePaintEvent);  // the back buffer covers every pixel
    setMouseTracking(true);                 // the sample readout follows the pointer
    setFocusPolicy(Qt::WheelFocus);         // Home resets the zoom
    m_run.SetRepaintRequest([this] { update(); });
}

CVarkelView::~CVarkelView() {
    // Ends the run without signalling: whoever listens may be half destroyed by now.
    m_run.StopMeasurement(RunEnd::WindowClosed);
    m_run.SetRepaintRequest(nullptr);
}

bool CVarkelView::FirstPaintPending() { return g_bFirstPaint; }

const std::string& CVarkelView::DataFile() const { return m_run.m_strDataFile; }

bool CVarkelView::IsStartEnabled() const { return !m_run.IsMeasuring(); }
bool CVarkelView::IsStopEnabled() const { return m_run.IsMeasuring(); }

void CVarkelView::OnMeasurementStart() {
    if (m_run.IsMeasuring()) return;
    StartMeasurement();
    // The run's time zero: set again after the sequence, whatever its outcome.
    m_run.SetTimeZero();
    update();
    emit commandStateChanged();
    PublishRunStatus();
}

int CVarkelView::StartMeasurement() {
    for (;;) {
        const std::string path = m_prompts.AskDataFileName();
        if (path.empty()) return 1;

        const DataFileResult created = m_run.CreateDataFile(path);
        if (created.linesWaiting) {
            // A run's lines go only to its own file: ask again rather than mix two runs.
            m_prompts.ShowWarning(kAppName,
                                  "Lines of an earlier run are still waiting to be written to "
                                  "this file. Choose another name for the new run.",
                                  created.error);
            continue;
        }
        if (!created.ok) {
            m_prompts.ShowWarning(kAppName, "Can't create file", created.error);
            return 1;
        }
        break;
    }

    int nPort = 1;
    int nInterval = 2;
    if (!m_prompts.AskSetup(&nPort, &nInterval)) return 1;

    if (!m_run.BeginMeasurement(nPort, nInterval)) {
        const bool opened = m_run.BeginError() == MeasurementRun::BeginFailure::AmplifierNotReached;
        m_prompts.ShowWarning(kAppName,
                              opened ? "The serial port opened, but the amplifier could not be "
                                       "reached. The measurement has not started."
                                     : "Can't open serial port",
                              m_run.OpenError());
        return 1;
    }
    m_warnings = RunWarnings();
    // The new run owns the charts: an opened run and any zoom go, as the old samples did.
    ShowLiveRun();
    emit runStarted(QString::fromStdString(m_run.m_strDataFile));
    return 0;
}

void CVarkelView::OnMeasurementStop() {
    StopMeasurement();
    update();
}

void CVarkelView::StopMeasurement(RunEnd why) {
    if (!m_run.IsMeasuring()) return;
    m_run.StopMeasurement(why);
    emit commandStateChanged();
    PublishRunStatus();
    // A closing window must not read back a week's data file for a document nobody sees.
    if (why != RunEnd::WindowClosed) emit runEnded(QString::fromStdString(m_run.m_strDataFile));
}

void CVarkelView::OnTimer() {
    // Also while idle: lines an ended run could not write are retried every second.
    const bool measuring = m_run.IsMeasuring();
    const TickResult tick = m_run.OnTimer();
    if (!measuring && !tick.fileTouched) return;
    // No box interrupts a run: a lost or returning device is told in the status bar.
    m_warnings.Update(tick);
    PublishRunStatus();
}

QString CVarkelView::RunStatusMessage() const {
    const RunState state = StateOf(m_run, m_store);
    if (m_run.IsMeasuring()) return QString::fromStdString(FormatRunProgress(state, m_warnings));
    if (state.pendingLines > 0) return QString::fromStdString(FormatWaitingLines(state));
    return {};
}

void CVarkelView::PublishRunStatus() { emit runStatusChanged(RunStatusMessage()); }

void CVarkelView::StartTimerOnFirstPaint() {
    if (!g_bFirstPaint) return;
    g_bFirstPaint = false;
    m_nTimerId = StartTickTimer();
    if (m_nTimerId == 0) {
        m_prompts.ShowWarning("Varkel Application", "Not enough timers available for this window.",
                              std::string());
    }
}

int CVarkelView::StartTickTimer() { return startTimer(kTickMs); }

SampleSeries CVarkelView::ShownSamples() const {
    return m_pShownRun ? SeriesOf(*m_pShownRun) : SeriesOf(m_store);
}

const Readings& CVarkelView::ShownReadings() const {
    return m_pShownRun ? m_pShownRun->last : m_readings;
}

void CVarkelView::Render(QImage& image, ChartMappings* drawn) const {
    RenderMeasurement(image, ShownReadings(), ShownSamples(), m_views, drawn);
}

void CVarkelView::PaintBackBuffer() {
    if (m_backBuffer.size() != size()) m_backBuffer = QImage(size(), QImage::Format_RGB32);
    m_bDrawnValid = !m_backBuffer.isNull();
    if (!m_bDrawnValid) {
        m_drawn = ChartMappings();
        return;
    }
    Render(m_backBuffer, &m_drawn);
}

void CVarkelView::paintEvent(QPaintEvent* event) {
    StartTimerOnFirstPaint();
    PaintBackBuffer();
    if (!m_bDrawnValid) return;
    QPainter painter(this);
    painter.drawImage(event->rect(), m_backBuffer, event->rect());
    RefreshReadout();
}

void CVarkelView::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_nTimerId) {
        QWidget::timerEvent(event);
        return;
    }
    OnTimer();
}
