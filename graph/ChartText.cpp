#include "graph/ChartText.h"

#include <algorithm>
#include <cstring>

#include "graph/CDC.h"

LOGFONT MakeChartFont(int nHeight, int nEscapement) {
    LOGFONT font;
    font.lfHeight = nHeight;
    font.lfWidth = 0;
    font.lfEscapement = nEscapement;
    font.lfOrientation = 0;
    font.lfWeight = 400;
    font.lfItalic = 0;
    font.lfUnderline = 0;
    font.lfStrikeOut = 0;
    font.lfCharSet = 0;
    font.lfOutPrecision = 3;
    font.lfClipPrecision = 2;
    font.lfQuality = 1;
    font.lfPitchAndFamily = FF_SWISS;
    std::strncpy(font.lfFaceName, "Swiss", sizeof font.lfFaceName - 1);
    return font;
}

CSize MeasureText(CDC* pDC, const char* pszText, int n) {
    const CSize size = pDC->GetTextExtentPoint(pszText, n);
    return CSize{std::clamp(size.cx, 0, kMaxTextExtent), std::clamp(size.cy, 0, kMaxTextExtent)};
}

bool IsChartRectInRange(const CRect& rect) {
    for (int c : {rect.left, rect.top, rect.right, rect.bottom}) {
        if (c < -kMaxChartCoord || c > kMaxChartCoord) return false;
    }
    return true;
}

ScopedFont::ScopedFont(CDC* pDC, const LOGFONT& desc)
    : m_pDC(pDC), m_hFont(pDC->CreateFontIndirect(desc)), m_hPrevious() {
    if (m_hFont) m_hPrevious = m_pDC->SelectObject(m_hFont);
}

ScopedFont::~ScopedFont() {
    if (!m_hFont) return;
    m_pDC->SelectObject(m_hPrevious);
    m_pDC->DeleteObject(m_hFont);
}
