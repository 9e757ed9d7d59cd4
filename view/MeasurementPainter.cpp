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
}  // namespace

ChartLayout LayoutCharts(const CRect& client) {
    const int top = client.top + kChartTop;
    const int mid = (client.left + client.right) / 2;
    return {{client.left, top, mid - kHalfGap, client.bottom},
            {mid + kHalfGap, top, client.right, client.bottom}};
}

void PaintMeasurement(CDC* pDC, const CRect& client, const Readings& readings,
                      const SampleStore& store) {
    const std::string text = FormatStatusText(readings);
    pDC->DrawText(text.c_str(), -1, client, DT_TOP | DT_LEFT);
    if (store.count < 1) return;

    const ChartLayout layout = LayoutCharts(client);
    CGraph impedanceChart(pDC, layout.impedance);
    CGraph phaseChart(pDC, layout.phase);

    impedanceChart.AddSeries(store.count, store.timeMinutes.data(), store.impedance.data(),
                             kLinesWithSquares, kDoubles, kDoubles, 1, 1, nullptr, nullptr);
    impedanceChart.SetTitles("Time [min]", "Impedance");
    impedanceChart.Plot();

    phaseChart.AddSeries(store.count, store.timeMinutes.data(), store.phase.data(),
                         kLinesWithSquares, kDoubles, kDoubles, 1, 1, nullptr, nullptr);
    phaseChart.SetTitles("Time [min]", "Phase");
    phaseChart.Plot();
}
