#include "graph/CGraph.h"

#include <utility>

CGraph::CGraph(CDC* pDC, const CRect& rect)
    : m_pDC(pDC), m_rect(rect), m_pfnAccessor{GetFloat, GetDouble, GetLongDouble, GetChar, GetUChar,
                                              GetShort, GetUShort, GetInt,        GetUInt, GetLong,
                                              GetULong, GetIndex,  GetIndex} {
    Init();
}

void CGraph::Init() {
    m_nXMarginDiv = 40;
    m_nYMarginDiv = 40;
    m_bPlotted = FALSE;
    m_dXMin = 0.0;
    m_dXMax = 1.0;
    m_dYMin = 0.0;
    m_dYMax = 1.0;
    m_nSeries = 0;
    m_strXTitle.clear();
    m_strYTitle.clear();
    m_crForeground = RGB(0, 0, 0);
    m_crFill = RGB(255, 255, 255);
    m_crBackground = RGB(255, 255, 255);
    m_dScale = 1.0;
}

void CGraph::AddSeries(int nCount, const void* pXData, const void* pYData, int nStyle, int nXType,
                       int nYType, int nXStride, int nYStride, GraphTransform pfnXTransform,
                       GraphTransform pfnYTransform) {
    if (m_nSeries < 0 || m_nSeries >= kMaxSeries) return;
    m_bPlotted = FALSE;
    m_bFixedRange = FALSE;

    GraphSeries& series = m_series[m_nSeries];
    // A negative count would still reach point 0 in the drawing pass; no points is meant.
    series.nCount = nCount < 0 ? 0 : nCount;
    series.pXData = pXData;
    series.pYData = pYData;
    series.nStyle = nStyle;
    series.pfnGetX = (nXType >= 0 && nXType < kGraphTypeCodes) ? m_pfnAccessor[nXType] : GetUChar;
    series.pfnGetY = (nYType >= 0 && nYType < kGraphTypeCodes) ? m_pfnAccessor[nYType] : GetUChar;
    series.nXStride = nXStride;
    series.nYStride = nYStride;
    series.pfnXTransform = pfnXTransform ? pfnXTransform : Identity;
    series.pfnYTransform = pfnYTransform ? pfnYTransform : Identity;
    ++m_nSeries;
}

void CGraph::SetTitles(std::string strXTitle, std::string strYTitle) {
    m_strXTitle = std::move(strXTitle);
    m_strYTitle = std::move(strYTitle);
}
