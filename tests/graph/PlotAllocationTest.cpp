// Plot allocates nothing per point: the number of heap allocations during a Plot does not
// grow with the number of points. Counted through a replaced global operator new, so this
// test has a binary of its own.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "graph/CGraph.h"

namespace {

std::atomic<long> g_nAllocations{0};

// A surface that draws and records nothing, so only the chart's own allocations count.
class NullDC final : public CDC {
public:
    void MoveTo(int, int) override {}
    void LineTo(int, int) override {}
    void Rectangle(int, int, int, int) override {}
    void Ellipse(int, int, int, int) override {}
    void SetPixel(int, int, COLORREF) override {}
    CSize GetTextExtentPoint(const char*, int n) override { return CSize{7 * n, 12}; }
    void TextOut(int, int, const char*, int) override {}
    int DrawText(const char*, int, const CRect&, unsigned) override { return 12; }
    HFONT CreateFontIndirect(const LOGFONT&) override { return HFONT{++m_nNext}; }
    HPEN CreatePen(int, int, COLORREF) override { return HPEN{++m_nNext}; }
    HBRUSH CreateSolidBrush(COLORREF) override { return HBRUSH{++m_nNext}; }
    HRGN CreateRectRgn(int, int, int, int) override { return HRGN{++m_nNext}; }
    HFONT SelectObject(HFONT) override { return HFONT{1}; }
    HPEN SelectObject(HPEN) override { return HPEN{1}; }
    HBRUSH SelectObject(HBRUSH) override { return HBRUSH{1}; }
    BOOL PaintRgn(HRGN) override { return TRUE; }
    BOOL DeleteObject(HGDIOBJ) override { return TRUE; }
    int SetBkMode(int) override { return 0; }
    COLORREF SetBkColor(COLORREF) override { return 0; }
    COLORREF SetTextColor(COLORREF) override { return 0; }

private:
    int m_nNext = 1;
};

long AllocationsToPlot(int nPoints) {
    std::vector<double> x(static_cast<std::size_t>(nPoints)), y(x.size());
    for (int i = 0; i < nPoints; ++i) {
        x[static_cast<std::size_t>(i)] = i * 0.1;
        y[static_cast<std::size_t>(i)] = (i % 17) * 3.0;
    }
    NullDC dc;
    CGraph chart(&dc, CRect{0, 0, 800, 600});
    chart.AddSeries(nPoints, x.data(), y.data(), 10, 1, 1, 1, 1, nullptr, nullptr);
    chart.SetTitles("Time [min]", "Impedance");
    const long nBefore = g_nAllocations.load();
    EXPECT_TRUE(chart.Plot());
    return g_nAllocations.load() - nBefore;
}

TEST(PlotAllocation, DoesNotGrowWithThePoints) {
    EXPECT_EQ(AllocationsToPlot(65536), AllocationsToPlot(10));
}

}  // namespace

void* operator new(std::size_t size) {
    ++g_nAllocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
