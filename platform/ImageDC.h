#pragma once
// CImageDC: a CDC that paints into a QImage with exact, unantialiased pixels.
//
// Lines, rectangles, ellipses, pixels and region fills are written straight into the image
// by a RasterCanvas; text goes through one QPainter, begun at the first text call and kept
// for the surface's life, with antialiasing off. The image must be Format_RGB32, ARGB32 or
// ARGB32_Premultiplied; over any other format (or a null image) nothing is drawn, while
// object handling and text measurement still work.
//
// A fresh surface carries what a fresh device context carries: a black one-pixel pen, a
// white brush, the default font (the system's sans-serif, 12-pixel cell), black text, white
// background, opaque mode. Cheap to construct: make one per paint.
//
// The image is complete after Flush() or when the surface is destroyed; while the surface
// lives, nobody else may write to the image.

#include "graph/CDC.h"
#include "platform/ImageDCObjects.h"
#include "platform/RasterCanvas.h"

#include <cstdint>
#include <memory>

class QImage;
class QPainter;
class QRect;
class QString;

class CImageDC final : public CDC {
public:
    explicit CImageDC(QImage& image);
    ~CImageDC() override;
    CImageDC(const CImageDC&) = delete;
    CImageDC& operator=(const CImageDC&) = delete;

    // Off: every call writes all its pixels, one by one in order (the reference the fast
    // path is checked against). On (the default): writes that cannot change a pixel are
    // skipped. The resulting images are identical.
    void setShortcutsEnabled(bool enabled);
    // Completes every pixel drawn so far in the image.
    void Flush();
    // Fills the whole image with one colour, as a window erases its background. Erasing
    // through the surface (rather than on the QImage) lets it skip repainting that colour.
    void EraseBackground(COLORREF colour);

    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void Ellipse(int left, int top, int right, int bottom) override;
    void SetPixel(int x, int y, COLORREF colour) override;

    CSize GetTextExtentPoint(const char* text, int n) override;
    void TextOut(int x, int y, const char* text, int n) override;
    int DrawText(const char* text, int n, const CRect& rect, unsigned format) override;

    HFONT CreateFontIndirect(const LOGFONT& font) override;
    HPEN CreatePen(int style, int width, COLORREF colour) override;
    HBRUSH CreateSolidBrush(COLORREF colour) override;
    HRGN CreateRectRgn(int left, int top, int right, int bottom) override;

    HFONT SelectObject(HFONT font) override;
    HPEN SelectObject(HPEN pen) override;
    HBRUSH SelectObject(HBRUSH brush) override;

    BOOL PaintRgn(HRGN region) override;
    BOOL DeleteObject(HGDIOBJ object) override;

    int SetBkMode(int mode) override;
    COLORREF SetBkColor(COLORREF colour) override;
    COLORREF SetTextColor(COLORREF colour) override;

    // The current position, as MoveTo and LineTo leave it.
    CPoint GetCurrentPosition() const { return m_ptCurrent; }

private:
    const ImageDCFont& SelectedFont() const;
    QPainter* TextPainter();
    // Draws one line of text with its box's top-left corner at (x, y), turned by the font's
    // escapement about that corner; fills the box first in opaque mode. clip: the device
    // rectangle the painter is clipped to, or null.
    void DrawTextBox(QPainter& painter, int x, int y, const QString& text, const QRect* clip);

    QImage& m_image;
    RasterCanvas m_canvas;
    std::unique_ptr<QPainter> m_pPainter;
    const void* m_pPixels = nullptr;  // where the canvas writes

    ImageDCObjectTable<ImageDCPen> m_pens;
    ImageDCObjectTable<ImageDCBrush> m_brushes;
    ImageDCObjectTable<ImageDCRegion> m_regions;
    ImageDCObjectTable<ImageDCFontObject> m_fonts;
    HPEN m_hPen;
    HBRUSH m_hBrush;
    HFONT m_hFont;
    // The selected pen's and brush's colours as ready pixel values.
    std::uint32_t m_penPixel = 0xFF000000u;
    std::uint32_t m_brushPixel = 0xFFFFFFFFu;

    CPoint m_ptCurrent;
    int m_nBkMode = OPAQUE;
    COLORREF m_crBk = RGB(255, 255, 255);
    COLORREF m_crText = RGB(0, 0, 0);
};
