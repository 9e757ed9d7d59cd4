#pragma once
// Small value types shared by the drawing surface and the chart engine: integer device
// pixels with y growing downwards, colours as 0x00BBGGRR, and handles to drawing objects
// that a surface creates and owns.

#include <cstdint>

using BOOL = int;
constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

// A colour packed as 0x00BBGGRR: red in the low byte.
using COLORREF = std::uint32_t;
constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c) { return static_cast<int>(c & 0xFF); }
constexpr int GetGValue(COLORREF c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int GetBValue(COLORREF c) { return static_cast<int>((c >> 16) & 0xFF); }

struct CPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const CPoint&, const CPoint&) = default;
};

struct CSize {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const CSize&, const CSize&) = default;
};

// A rectangle whose right and bottom edges are exclusive when it bounds pixels.
struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const CRect&, const CRect&) = default;
};

// Font request by cell height in pixels. Escapement is in tenths of a degree:
// 900 runs the text from bottom to top.
struct LOGFONT {
    int lfHeight = 0;
    int lfWidth = 0;
    int lfEscapement = 0;
    int lfOrientation = 0;
    int lfWeight = 400;
    std::uint8_t lfItalic = 0;
    std::uint8_t lfUnderline = 0;
    std::uint8_t lfStrikeOut = 0;
    std::uint8_t lfCharSet = 0;
    std::uint8_t lfOutPrecision = 0;
    std::uint8_t lfClipPrecision = 0;
    std::uint8_t lfQuality = 0;
    std::uint8_t lfPitchAndFamily = 0;
    char lfFaceName[32] = {};
};

constexpr std::uint8_t FF_SWISS = 0x20;  // sans-serif family, default pitch

// Handles to drawing objects. Id 0 is "no object"; a surface hands out the others.
enum class GdiKind : std::uint8_t { Pen, Brush, Font, Region };

struct HGDIOBJ {
    GdiKind kind = GdiKind::Pen;
    int id = 0;
    explicit operator bool() const { return id != 0; }
    friend bool operator==(const HGDIOBJ&, const HGDIOBJ&) = default;
};

template <GdiKind K>
struct GdiHandle {
    int id = 0;
    explicit operator bool() const { return id != 0; }
    operator HGDIOBJ() const { return HGDIOBJ{K, id}; }
    friend bool operator==(const GdiHandle&, const GdiHandle&) = default;
};
using HPEN = GdiHandle<GdiKind::Pen>;
using HBRUSH = GdiHandle<GdiKind::Brush>;
using HFONT = GdiHandle<GdiKind::Font>;
using HRGN = GdiHandle<GdiKind::Region>;

// Pen styles, background modes and text formats the program uses.
constexpr int PS_SOLID = 0;
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr unsigned DT_TOP = 0x0;
constexpr unsigned DT_LEFT = 0x0;
constexpr unsigned DT_CENTER = 0x1;
constexpr unsigned DT_VCENTER = 0x4;
constexpr unsigned DT_SINGLELINE = 0x20;
