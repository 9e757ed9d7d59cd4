#include "MeasurementPainter.h"

#include <string>

#include "graph/CDC.h"
#include "graph/CGraph.h"
#include "measure/MeasurementState.h"
#include "measure/SampleStore.h"
#include "measure/StatusText.h"

namespace {
constexpr int kChartTop = 45;  // below the two text lines, whatever the font
constexpr int kHalfGap = 5;
constexpr int kLinesWithSquares = 10;
constexpr int kDoubles = 1;

void PlotChart(CDC* pDC, const CRect& rect, const double* x, const double* y, int count,
               const char* yTitle, const ChartRanges& ranges) {
    CGraph chart(pDC, rect);
    chart.AddSeries(count, x, y, kLinesWithSquares, kDoubles, kDoubles, 1, 1, nullptr, nullptr);
    chart.SetTitles("Time [min]", yTitle);
    if (ranges.fixed) {
        // After AddSeries, which returns the chart to automatic ranges.
        chart.m_dXMin = ranges.xMin;
        chart.m_dXMax = ranges.xMax;
        chart.m_dYMin = ranges.yMin;
        chart.m_dYMax = ranges.yMax;
        chart.m_bFixedRange = TRUE;
    }
    chart.Plot();
}
}  // namespace

SampleSeries SeriesOf(const SampleStore& store) {
    return {store.timeMinutes.data(), store.impedance.data(), store.phase.data(), store.count};
}

ChartLayout LayoutCharts(const CRect& client) {
    const int top = client.top + kChartTop;
    const int mid = (client.left + client.right) / 2;
    return {{client.left, top, mid - kHalfGap, client.bottom},
            {mid + kHalfGap, top, client.right, client.bottom}};
}

void PaintMeasurement(CDC* pDC, const CRect& client, const Readings& readings,
                      const SampleSeries& samples, const ChartViews& views) {
    const std::string text = FormatStatusText(readings);
    pDC->DrawText(text.c_str(), -1, client, DT_TOP | DT_LEFT);
    if (samples.count < 1) return;

    const ChartLayout layout = LayoutCharts(client);
    PlotChart(pDC, layout.impedance, samples.timeMinutes, samples.impedance, samples.count,
              "Impedance", views.impedance);
    PlotChart(pDC, layout.phase, samples.timeMinutes, samples.phase, samples.count, "Phase",
              views.phase);
}
