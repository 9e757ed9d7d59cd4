#pragma once
// Text helpers of the chart: the one font description its labels and titles are made
// from, and text measurement kept in a range the layout's int arithmetic can add up.

#include "graph/GdiTypes.h"

class CDC;

// Sans-serif ("Swiss") font of nHeight pixels; nEscapement 900 runs the text from bottom to
// top. Weight 400, output precision 3, clip precision 2, quality 1, pitch and family 0x20.
LOGFONT MakeChartFont(int nHeight, int nEscapement);

// Chart rectangles and text extents are limited to this many pixels in magnitude, so no sum
// or difference in the layout can overflow an int.
constexpr int kMaxChartCoord = 1 << 28;
constexpr int kMaxTextExtent = 1 << 20;

// The surface's extent of the first n bytes of text, each dimension clamped to
// 0..kMaxTextExtent.
CSize MeasureText(CDC* pDC, const char* pszText, int n);

// Whether every coordinate of rect lies within +-kMaxChartCoord.
bool IsChartRectInRange(const CRect& rect);

// A font created from desc and selected into the surface for the life of this object;
// then the font it replaced is selected back and this one deleted. If the surface cannot
// create the font, nothing is selected and text uses the surface's current font.
class ScopedFont {
public:
    ScopedFont(CDC* pDC, const LOGFONT& desc);
    ~ScopedFont();
    ScopedFont(const ScopedFont&) = delete;
    ScopedFont& operator=(const ScopedFont&) = delete;

private:
    CDC* m_pDC;
    HFONT m_hFont;
    HFONT m_hPrevious;
};
