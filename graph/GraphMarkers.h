#pragma once
// The five marker shapes a series can draw at each of its points.
//
// Each marker is drawn around the device point (x, y) with the surface's selected pen and
// brush; its size is a multiple of g_nMarkerSize.

#include "graph/CDC.h"

using GraphMarkerFn = void (*)(CDC* pDC, int x, int y);

// Marker size unit in pixels: 1, or 4 for charts 1000 pixels wide or more. One value for the
// whole process: CGraph::Plot sets it before it draws and the markers read it, so charts must
// be plotted one after the other, never concurrently.
extern int g_nMarkerSize;

// One black pixel, whatever the pen colour.
void DrawPixelMarker(CDC* pDC, int x, int y);
// Circle 4s + 1 pixels across, outlined with the pen and filled with the brush.
void DrawCircleMarker(CDC* pDC, int x, int y);
// Square 2s + 1 pixels across, outlined with the pen and filled with the brush. Inline: it
// is the measurement view's marker, drawn at every point.
inline void DrawSquareMarker(CDC* pDC, int x, int y) {
    const int s = g_nMarkerSize;
    pDC->Rectangle(x - s, y - s, x + s + 1, y + s + 1);
}
// Diamond outline reaching 2s from the centre; leaves the current position on (x, y).
void DrawDiamondMarker(CDC* pDC, int x, int y);
// Diagonal cross reaching 2s from the centre; leaves the current position at the end of its
// second stroke.
void DrawCrossMarker(CDC* pDC, int x, int y);

// The marker of a series style: its low three bits pick the shape (0 and 5 to 7 a pixel,
// 1 circle, 2 square, 3 diamond, 4 cross).
GraphMarkerFn MarkerForStyle(int nStyle);
