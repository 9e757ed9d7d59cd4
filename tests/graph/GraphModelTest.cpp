// The chart model: defaults, AddSeries, element accessors, transforms and the mapping.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "GraphTestSupport.h"

namespace {

TEST(GraphModel, NewChartHasDefaults) {
    RecordingDC dc;
    const CRect rect{5, 6, 300, 200};
    CGraph chart(&dc, rect);
    EXPECT_EQ(chart.m_pDC, &dc);
    EXPECT_EQ(chart.m_rect, rect);
    EXPECT_EQ(chart.m_dXMin, 0.0);
    EXPECT_EQ(chart.m_dXMax, 1.0);
    EXPECT_EQ(chart.m_dYMin, 0.0);
    EXPECT_EQ(chart.m_dYMax, 1.0);
    EXPECT_EQ(chart.m_dScale, 1.0);
    EXPECT_EQ(chart.m_nXMarginDiv, 40);
    EXPECT_EQ(chart.m_nYMarginDiv, 40);
    EXPECT_EQ(chart.m_crForeground, RGB(0, 0, 0));
    EXPECT_EQ(chart.m_crFill, RGB(255, 255, 255));
    EXPECT_EQ(chart.m_crBackground, RGB(255, 255, 255));
    EXPECT_TRUE(chart.m_strXTitle.empty());
    EXPECT_TRUE(chart.m_strYTitle.empty());
    EXPECT_EQ(chart.m_nSeries, 0);
    EXPECT_FALSE(chart.m_bPlotted);
    EXPECT_TRUE(dc.Calls().empty()) << "building a chart draws nothing";
}

TEST(GraphModel, InitRestoresDefaultsButKeepsSurfaceRectAndFixedFlag) {
    RecordingDC dc;
    CGraph chart(&dc, kChartRect);
    const double x[] = {1, 2};
    chart.AddSeries(2, x, x, 10, 1, 1, 1, 1, nullptr, nullptr);
    chart.SetTitles("t", "y");
    chart.m_dXMin = -5;
    chart.m_dScale = 4;
    chart.m_crBackground = RGB(1, 2, 3);
    chart.m_bFixedRange = TRUE;
    chart.Init();
    EXPECT_EQ(chart.m_nSeries, 0);
    EXPECT_EQ(chart.m_dXMin, 0.0);
    EXPECT_EQ(chart.m_dScale, 1.0);
    EXPECT_EQ(chart.m_crBackground, RGB(255, 255, 255));
    EXPECT_TRUE(chart.m_strXTitle.empty());
    EXPECT_TRUE(chart.m_bFixedRange);
    EXPECT_EQ(chart.m_rect, kChartRect);
    EXPECT_EQ(chart.m_series[0].nCount, 2) << "Init leaves the series records alone";
}

TEST(GraphModel, SetTitlesAssignsBoth) {
    RecordingDC dc;
    CGraph chart(&dc, kChartRect);
    chart.SetTitles("Time [min]", "Phase");
    EXPECT_EQ(chart.m_strXTitle, "Time [min]");
    EXPECT_EQ(chart.m_strYTitle, "Phase");
}

TEST(GraphModel, TenSeriesAcceptedEleventhIgnored) {
    RecordingDC dc;
    CGraph chart(&dc, kChartRect);
    const double data[] = {0};
    for (int k = 0; k < 10; ++k) chart.AddSeries(1, data, data, k, 1, 1, 1, 1, nullptr, nullptr);
    EXPECT_EQ(chart.m_nSeries, 10);
    chart.m_bPlotted = TRUE;
    chart.m_bFixedRange = TRUE;
    chart.AddSeries(7, data, data, 99, 1, 1, 1, 1, nullptr, nullptr);
    EXPECT_EQ(chart.m_nSeries, 10);
    EXPECT_TRUE(chart.m_bPlotted) << "an ignored series changes nothing";
    EXPECT_TRUE(chart.m_bFixedRange);
    EXPECT_EQ(chart.m_series[9].nStyle, 9);
}

TEST(GraphModel, AddSeriesStoresTheRecordAndClearsPlottedAndFixedRange) {
    RecordingDC dc;
    CGraph chart(&dc, kChartRect);
    const float x[] = {1, 2, 3};
    const int y[] = {4, 5, 6};
    chart.m_bPlotted = TRUE;
    chart.m_bFixedRange = TRUE;
    chart.AddSeries(3, x, y, 12, 0, 7, 2, 0, nullptr, [](double v) { return -v; });
    const GraphSeries& s = chart.m_series[0];
    EXPECT_FALSE(chart.m_bPlotted);
    EXPECT_FALSE(chart.m_bFixedRange);
    EXPECT_EQ(s.nCount, 3);
    EXPECT_EQ(s.pXData, x);
    EXPECT_EQ(s.pYData, y);
    EXPECT_EQ(s.nStyle, 12);
    EXPECT_EQ(s.pfnGetX, &GetFloat);
    EXPECT_EQ(s.pfnGetY, &GetInt);
    EXPECT_EQ(s.nXStride, 2);
    EXPECT_EQ(s.nYStride, 0);
    EXPECT_EQ(s.pfnXTransform, &Identity);
    EXPECT_EQ(s.pfnYTransform(2.0), -2.0);
}

TEST(GraphModel, NegativeCountIsStoredAsNoPoints) {
    RecordingDC dc;
    CGraph chart(&dc, kChartRect);
    chart.AddSeries(-5, nullptr, nullptr, 10, 11, 11, 1, 1, nullptr, nullptr);
    EXPECT_EQ(chart.m_series[0].nCount, 0);
}

TEST(GraphModel, TypeCodesPickTheirAccessor) {
    struct Case {
        int nCode;
        GraphAccessor expected;
    };
    const Case cases[] = {
        {0, GetFloat},      {1, GetDouble},
        {2, GetLongDouble}, {3, GetChar},
        {4, GetUChar},      {5, GetShort},
        {6, GetUShort},     {7, GetInt},
        {8, GetUInt},       {9, GetLong},
        {10, GetULong},     {11, GetIndex},
        {12, GetIndex},     {-1, GetUChar},
        {13, GetUChar},     {std::numeric_limits<int>::min(), GetUChar},
    };
    for (const Case& c : cases) {
        RecordingDC dc;
        CGraph chart(&dc, kChartRect);
        chart.AddSeries(0, nullptr, nullptr, 0, c.nCode, c.nCode, 1, 1, nullptr, nullptr);
        EXPECT_EQ(chart.m_series[0].pfnGetX, c.expected) << "code " << c.nCode;
        EXPECT_EQ(chart.m_series[0].pfnGetY, c.expected) << "code " << c.nCode;
    }
}

TEST(GraphModel, AccessorsReadSignedAndUnsignedElementsExactly) {
    const std::uint8_t bytes[] = {0x10, 0xFF};
    const std::uint16_t shorts[] = {0, 0xFFFF};
    const std::uint32_t words[] = {0, 0xFFFFFFFFu};
    const float floats[] = {0.0f, 0.1f};
    const double doubles[] = {0.0, -1e300};
    struct Case {
        const char* what;
        GraphAccessor read;
        const void* data;
        double expected;
    };
    const Case cases[] = {
        {"signed char 0xFF", GetChar, bytes, -1.0},
        {"unsigned char 0xFF", GetUChar, bytes, 255.0},
        {"short 0xFFFF", GetShort, shorts, -1.0},
        {"unsigned short 0xFFFF", GetUShort, shorts, 65535.0},
        {"int 0xFFFFFFFF", GetInt, words, -1.0},
        {"unsigned int 0xFFFFFFFF", GetUInt, words, 4294967295.0},
        {"long is 32 bits", GetLong, words, -1.0},
        {"unsigned long is 32 bits", GetULong, words, 4294967295.0},
        {"float widened exactly", GetFloat, floats, static_cast<double>(0.1f)},
        {"double", GetDouble, doubles, -1e300},
        {"long double is stored as double", GetLongDouble, doubles, -1e300},
    };
    for (const Case& c : cases) EXPECT_EQ(c.read(c.data, 1), c.expected) << c.what;
}

TEST(GraphModel, UnknownTypeCodeReadsUnsignedChar) {
    RecordingDC dc;
    CGraph chart(&dc, kChartRect);
    const std::uint8_t bytes[] = {0xFF};
    chart.AddSeries(1, bytes, bytes, 0, -1, 13, 1, 1, nullptr, nullptr);
    EXPECT_EQ(chart.m_series[0].pfnGetX(bytes, 0), 255.0);
    EXPECT_EQ(chart.m_series[0].pfnGetY(bytes, 0), 255.0);
}

TEST(GraphModel, AccessorsReadUnalignedData) {
    alignas(8) unsigned char buffer[1 + sizeof(double) * 2] = {};
    const double value = 2.5;
    std::memcpy(buffer + 1 + sizeof(double), &value, sizeof value);
    EXPECT_EQ(GetDouble(buffer + 1, 1), 2.5);
}

TEST(GraphModel, IndexCodeWithStrideThreeNumbersPointsWithoutTouchingData) {
    // Through Plot: the x values of a code-11 series with stride 3 over null data are
    // 0, 3, 6, 9, so the auto-range spans 0 to 9.
    RecordingDC dc;
    CGraph chart(&dc, kChartRect);
    chart.AddSeries(4, nullptr, nullptr, 0, 11, 12, 3, 1, nullptr, nullptr);
    ASSERT_TRUE(chart.Plot());
    EXPECT_EQ(chart.m_series[0].pfnGetX(nullptr, 9), 9.0);
    // 0..9 steps by 2; the tick 8 lies within 10/19 of a step of 9, so 9 stays the end.
    EXPECT_EQ(chart.m_dXMin, 0.0);
    EXPECT_EQ(chart.m_dXMax, 9.0);
    // y: indexes 0..3 with stride 1; 0..3 steps by 1 with ticks 0..3.
    EXPECT_EQ(chart.m_dYMin, 0.0);
    EXPECT_EQ(chart.m_dYMax, 3.0);
}

double Log10(double v) { return std::log10(v); }

TEST(GraphModel, TransformsApplyBeforeRangesAndMapping) {
    // x 1..1e10 through log10 is 0..10; a null transform is Identity on y.
    const double x[] = {1.0, 1e10};
    const double y[] = {0.0, 10.0};
    RecordingDC withNull, withIdentity;
    CGraph a(&withNull, kChartRect);
    CGraph b(&withIdentity, kChartRect);
    a.AddSeries(2, x, y, 10, 1, 1, 1, 1, Log10, nullptr);
    b.AddSeries(2, x, y, 10, 1, 1, 1, 1, Log10, Identity);
    ASSERT_TRUE(a.Plot());
    ASSERT_TRUE(b.Plot());
    EXPECT_EQ(a.m_dXMin, 0.0);
    EXPECT_EQ(a.m_dXMax, 10.0);
    EXPECT_EQ(withNull.Log(), withIdentity.Log());
    EXPECT_EQ(SeriesLog(withNull),
              (std::vector<std::string>{
                  "MoveTo(30,195)", "LineTo(30,195)", "Rectangle(29,194,32,197)", "MoveTo(30,195)",
                  "LineTo(390,5)", "Rectangle(389,4,392,7)", "MoveTo(390,5)"}));
}

TEST(GraphModel, MapTruncatesTowardZero) {
    RecordingDC dc;
    CGraph chart(&dc, kChartRect);
    chart.m_dXMin = 0;
    chart.m_dXFactor = 1;
    chart.m_nOriginX = 0;
    chart.m_dYMin = 0;
    chart.m_dYFactor = 1;
    chart.m_nOriginY = 0;
    struct Case {
        double v;
        int x;  // MapX
        int y;  // MapY = -v truncated
    };
    const Case cases[] = {{-2.7, -2, 2}, {2.7, 2, -2}, {0.999, 0, 0}, {-0.999, 0, 0}, {5.0, 5, -5}};
    for (const Case& c : cases) {
        EXPECT_EQ(chart.MapX(c.v), c.x) << c.v;
        EXPECT_EQ(chart.MapY(c.v), c.y) << c.v;
    }
}

TEST(GraphModel, MapClampsValuesBeyondAnyPixel) {
    RecordingDC dc;
    CGraph chart(&dc, kChartRect);
    chart.m_dXFactor = 1e300;
    chart.m_dYFactor = 1e300;
    chart.m_nOriginX = 10;
    chart.m_nOriginY = 10;
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(chart.MapX(1e300), 1000000000);
    EXPECT_EQ(chart.MapX(-1e300), -1000000000);
    EXPECT_EQ(chart.MapX(inf), 1000000000);
    EXPECT_EQ(chart.MapY(1e300), -1000000000);
    EXPECT_EQ(chart.MapX(std::nan("")), -1000000000);
    EXPECT_EQ(chart.MapY(std::nan("")), -1000000000);
}

}  // namespace
