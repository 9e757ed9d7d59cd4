#include "graph/GraphMarkers.h"

#include "graph/CDC.h"

int g_nMarkerSize = 1;

void DrawPixelMarker(CDC* pDC, int x, int y) { pDC->SetPixel(x, y, RGB(0, 0, 0)); }

void DrawCircleMarker(CDC* pDC, int x, int y) {
    const int s = g_nMarkerSize;
    pDC->Ellipse(x - 2 * s, y - 2 * s, x + 2 * s + 1, y + 2 * s + 1);
}

void DrawDiamondMarker(CDC* pDC, int x, int y) {
    const int s = g_nMarkerSize;
    pDC->MoveTo(x - 2 * s, y);
    pDC->LineTo(x, y - 2 * s);
    pDC->LineTo(x + 2 * s, y);
    pDC->LineTo(x, y + 2 * s);
    pDC->LineTo(x - 2 * s, y);
    pDC->MoveTo(x, y);
}

void DrawCrossMarker(CDC* pDC, int x, int y) {
    const int s = g_nMarkerSize;
    // One past each far corner, because a line leaves its end pixel unpainted.
    pDC->MoveTo(x - 2 * s, y - 2 * s);
    pDC->LineTo(x + 2 * s + 1, y + 2 * s + 1);
    pDC->MoveTo(x - 2 * s, y + 2 * s);
    pDC->LineTo(x + 2 * s + 1, y - 2 * s - 1);
}

GraphMarkerFn MarkerForStyle(int nStyle) {
    static constexpr GraphMarkerFn kMarkers[8] = {
        DrawPixelMarker, DrawCircleMarker, DrawSquareMarker, DrawDiamondMarker,
        DrawCrossMarker, DrawPixelMarker,  DrawPixelMarker,  DrawPixelMarker,
    };
    return kMarkers[nStyle & 7];
}
