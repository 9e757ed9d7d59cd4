#include "MeasurementPainter.h"

#include <cmath>
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

double Log10(double value) { return std::log10(value); }

ChartMapping MappingOf(const CGraph& chart) {
    ChartMapping mapping;
    mapping.drawn = chart.m_bPlotted != FALSE;
    mapping.xMin = chart.m_dXMin;
    mapping.xMax = chart.m_dXMax;
    mapping.yMin = chart.m_dYMin;
    mapping.yMax = chart.m_dYMax;
    mapping.xFactor = chart.m_dXFactor;
    mapping.yFactor = chart.m_dYFactor;
    mapping.originX = chart.m_nOriginX;
    mapping.originY = chart.m_nOriginY;
    mapping.plot = chart.m_rectPlot;
    return mapping;
}

ChartMapping PlotChart(CDC* pDC, const CRect& rect, const double* x, const double* y, int count,
                       const char* yTitle, const ChartRanges& ranges,
                       GraphTransform pfnYTransform) {
    CGraph chart(pDC, rect);
    chart.AddSeries(count, x, y, kLinesWithSquares, kDoubles, kDoubles, 1, 1, nullptr,
                    pfnYTransform);
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
    return MappingOf(chart);
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
                      const SampleSeries& samples, const ChartViews& views, ChartMappings* drawn) {
    if (drawn) *drawn = ChartMappings();
    const std::string text = FormatStatusText(readings);
    pDC->DrawText(text.c_str(), -1, client, DT_TOP | DT_LEFT);
    if (samples.count < 1) return;

    const ChartLayout layout = LayoutCharts(client);
    const ChartMapping impedance =
        PlotChart(pDC, layout.impedance, samples.timeMinutes, samples.impedance, samples.count,
                  views.logImpedance ? "log10(Impedance)" : "Impedance", views.impedance,
                  views.logImpedance ? Log10 : nullptr);
    const ChartMapping phase = PlotChart(pDC, layout.phase, samples.timeMinutes, samples.phase,
                                         samples.count, "Phase", views.phase, nullptr);
    if (drawn) *drawn = {impedance, phase};
}
