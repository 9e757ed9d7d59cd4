#pragma once
// Small helpers shared by the chart engine's tests.

#include <ostream>
#include <string>
#include <vector>

#include "graph/CGraph.h"
#include "graph/RecordingDC.h"

// Points in test messages as (x, y).
inline void PrintTo(const CPoint& point, std::ostream* os) {
    *os << "(" << point.x << ", " << point.y << ")";
}

// The calls that drew the series: everything after the label font of the axes was
// released, up to Plot's restoring of the caller's brush. Works for charts without titles.
inline std::vector<std::string> SeriesLog(const RecordingDC& dc) {
    const auto& calls = dc.Calls();
    std::size_t start = 0;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].op != "DeleteObject") continue;
        const RecordedObject* object = dc.Object(static_cast<int>(calls[i].args[0]));
        if (object && object->handle.kind == GdiKind::Font) start = i + 1;
    }
    std::vector<std::string> lines;
    for (std::size_t i = start; i < calls.size() && calls[i].op != "SelectObject"; ++i) {
        lines.push_back(calls[i].ToString());
    }
    return lines;
}

// How many calls of the named operation the surface saw.
inline int CountCalls(const RecordingDC& dc, const std::string& op) {
    int n = 0;
    for (const RecordedCall& call : dc.Calls()) n += (call.op == op);
    return n;
}

// A chart 400 x 212 pixels at the origin, without titles. Over x and y ranges of 0 to 10
// (ticks every 2, labels at most "10") its data area is x 30..390 and y 5..195, so
// MapX(x) = 30 + 36 x and MapY(y) = 195 - 19 y, both exact.
inline const CRect kChartRect{0, 0, 400, 212};
