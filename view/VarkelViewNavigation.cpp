// CVarkelView: what the charts show and how they are looked at. The wheel zooms time on both
// charts (Shift: the value axis of the chart under the pointer), a drag pans, a double-click
// or Home returns to the automatic view, and the pointer's sample is read out for the
// status bar.

#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "RecordedRun.h"
#include "SampleReadout.h"
#include "VarkelView.h"

void CVarkelView::ShowRecordedRun(std::shared_ptr<const RecordedRun> run) {
    m_pShownRun = std::move(run);
    ResetZoom();
    SetReadout(QString());
    update();
}

void CVarkelView::ShowLiveRun() {
    m_pShownRun.reset();
    ResetZoom();
    SetReadout(QString());
    update();
}

void CVarkelView::ResetZoom() {
    m_dragChart = ChartId::None;
    unsetCursor();
    ChartViews automatic;
    automatic.logImpedance = m_views.logImpedance;
    SetViews(automatic);
}

void CVarkelView::SetLogImpedanceAxis(bool on) {
    SetViews(WithLogImpedance(m_views, on, ShownSamples()));
}

void CVarkelView::SetViews(const ChartViews& views) {
    m_views = views;
    update();
}

const ChartMappings& CVarkelView::CurrentDrawing() {
    if (!m_bDrawnValid || m_backBuffer.size() != size()) PaintBackBuffer();
    return m_drawn;
}

void CVarkelView::wheelEvent(QWheelEvent* event) {
    const QPoint position = event->position().toPoint();
    m_bPointerInside = true;
    m_lastPointer = position;
    const ChartMappings& drawn = CurrentDrawing();
    const ChartId chart = ChartAt(drawn, position.x(), position.y());
    if (chart == ChartId::None) {
        event->ignore();
        return;
    }
    // Some systems turn a wheel held with a modifier into a horizontal one.
    const QPoint angle = event->angleDelta();
    const double factor = WheelZoomFactor(angle.y() != 0 ? angle.y() : angle.x());
    if (event->modifiers() & Qt::ShiftModifier) {
        SetViews(ZoomValue(m_views, drawn, chart, position.y(), factor));
    } else {
        SetViews(ZoomTime(m_views, drawn, chart, position.x(), factor));
    }
    event->accept();
}

void CVarkelView::mousePressEvent(QMouseEvent* event) {
    const QPoint position = event->position().toPoint();
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const ChartMappings& drawn = CurrentDrawing();
    m_dragChart = ChartAt(drawn, position.x(), position.y());
    if (m_dragChart == ChartId::None) return;
    m_dragStart = position;
    m_viewsAtPress = m_views;
    m_drawnAtPress = drawn;
    setCursor(Qt::ClosedHandCursor);
}

void CVarkelView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint position = event->position().toPoint();
    m_bPointerInside = true;
    m_lastPointer = position;
    if (m_dragChart != ChartId::None && (event->buttons() & Qt::LeftButton)) {
        const QPoint travel = position - m_dragStart;
        // Not moved (yet): the view stays automatic if it was.
        if (!travel.isNull()) {
            SetViews(Pan(m_viewsAtPress, m_drawnAtPress, m_dragChart, travel.x(), travel.y()));
        }
    }
    UpdateReadout(position);
}

void CVarkelView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_dragChart = ChartId::None;
    unsetCursor();
}

void CVarkelView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    ResetZoom();
}

void CVarkelView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Home && event->modifiers() == Qt::NoModifier) {
        ResetZoom();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CVarkelView::enterEvent(QEnterEvent* event) {
    m_bPointerInside = true;
    m_lastPointer = event->position().toPoint();
    UpdateReadout(m_lastPointer);
    QWidget::enterEvent(event);
}

void CVarkelView::leaveEvent(QEvent* event) {
    m_bPointerInside = false;
    SetReadout(QString());
    QWidget::leaveEvent(event);
}

void CVarkelView::RefreshReadout() {
    if (m_bPointerInside) UpdateReadout(m_lastPointer);
}

void CVarkelView::UpdateReadout(const QPoint& position) {
    const ChartMappings& drawn = CurrentDrawing();
    const ChartId chart = ChartAt(drawn, position.x(), position.y());
    const SampleSeries samples = ShownSamples();
    if (chart == ChartId::None || samples.count < 1) {
        SetReadout(QString());
        return;
    }
    const double minutes = MappingOf(drawn, chart).DataX(position.x());
    // A live run's times come from a steady clock and never decrease.
    const bool sorted = m_pShownRun ? m_pShownRun->timeSorted : true;
    const int i = NearestSampleByTime(samples.timeMinutes, samples.count, minutes, sorted);
    const double value = chart == ChartId::Phase ? samples.phase[i] : samples.impedance[i];
    SetReadout(QString::fromStdString(FormatSampleReadout(chart, samples.timeMinutes[i], value)));
}

void CVarkelView::SetReadout(const QString& text) {
    if (text == m_strReadout) return;
    m_strReadout = text;
    emit sampleReadoutChanged(m_strReadout);
}
