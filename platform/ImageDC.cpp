#include "platform/ImageDC.h"

#include "platform/ImageDCFont.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QTransform>

#include <algorithm>
#include <cstring>

namespace {

// COLORREF 0x00BBGGRR as an opaque 32-bit pixel 0xFFRRGGBB.
std::uint32_t ToPixel(COLORREF colour) {
    return 0xFF000000u | (static_cast<std::uint32_t>(GetRValue(colour)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(colour)) << 8) |
           static_cast<std::uint32_t>(GetBValue(colour));
}

QColor ToQColor(COLORREF colour) {
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

bool IsDirectFormat(QImage::Format format) {
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
           format == QImage::Format_ARGB32_Premultiplied;
}

RasterCanvas MakeCanvas(QImage& image) {
    if (image.isNull() || !IsDirectFormat(image.format())) return RasterCanvas(nullptr, 0, 0, 0);
    // bits() detaches a shared image now, so later painting cannot move the pixels.
    auto* bits = reinterpret_cast<std::uint32_t*>(image.bits());
    return RasterCanvas(bits, image.width(), image.height(),
                        static_cast<int>(image.bytesPerLine() / 4));
}

// Bytes of the text: n of them, or up to the NUL when n is negative.
QString TextOf(const char* text, int n) {
    if (!text) return {};
    const qsizetype length = n < 0 ? static_cast<qsizetype>(std::strlen(text)) : n;
    return QString::fromLatin1(text, length);
}

}  // namespace

CImageDC::CImageDC(QImage& image)
    : m_image(image), m_canvas(MakeCanvas(image)), m_pPixels(image.constBits()) {
    m_hPen = HPEN{m_pens.Add(ImageDCPen{RGB(0, 0, 0)}, true)};
    m_hBrush = HBRUSH{m_brushes.Add(ImageDCBrush{RGB(255, 255, 255)}, true)};
    LOGFONT defaultFont;
    defaultFont.lfHeight = kDefaultFontCellHeight;
    defaultFont.lfPitchAndFamily = FF_SWISS;
    m_hFont = HFONT{m_fonts.Add(ImageDCFontObject{ResolveImageDCFont(defaultFont)}, true)};
}

CImageDC::~CImageDC() {
    if (m_pPainter) m_pPainter->end();
    m_canvas.Flush();
}

void CImageDC::setShortcutsEnabled(bool enabled) { m_canvas.SetShortcutsEnabled(enabled); }

void CImageDC::Flush() { m_canvas.Flush(); }

void CImageDC::EraseBackground(COLORREF colour) { m_canvas.Clear(ToPixel(colour)); }

void CImageDC::MoveTo(int x, int y) { m_ptCurrent = {x, y}; }

void CImageDC::LineTo(int x, int y) {
    m_canvas.Line(m_ptCurrent.x, m_ptCurrent.y, x, y, m_penPixel);
    m_ptCurrent = {x, y};
}

void CImageDC::Rectangle(int left, int top, int right, int bottom) {
    m_canvas.Rectangle(left, top, right, bottom, m_penPixel, m_brushPixel);
}

void CImageDC::Ellipse(int left, int top, int right, int bottom) {
    m_canvas.Ellipse(left, top, right, bottom, m_penPixel, m_brushPixel);
}

void CImageDC::SetPixel(int x, int y, COLORREF colour) { m_canvas.SetPixel(x, y, ToPixel(colour)); }

const ImageDCFont& CImageDC::SelectedFont() const { return *m_fonts.Find(m_hFont.id)->font; }

QPainter* CImageDC::TextPainter() {
    if (m_canvas.Width() == 0) return nullptr;
    m_canvas.Flush();
    if (!m_pPainter) {
        m_pPainter = std::make_unique<QPainter>(&m_image);
        m_pPainter->setRenderHint(QPainter::Antialiasing, false);
        m_pPainter->setRenderHint(QPainter::TextAntialiasing, false);
        if (m_image.constBits() != m_pPixels) {
            // Someone shared the image after construction and beginning to paint detached
            // it: follow the pixels to their new place.
            const bool shortcuts = m_canvas.ShortcutsEnabled();
            m_canvas = MakeCanvas(m_image);
            m_canvas.SetShortcutsEnabled(shortcuts);
            m_pPixels = m_image.constBits();
        }
    }
    return m_pPainter.get();
}

void CImageDC::DrawTextBox(QPainter& painter, int x, int y, const QString& text,
                           const QRect* clip) {
    // Text this far out cannot reach an image, and the painter's fixed-point coordinates
    // would not hold it.
    constexpr int kFarAway = 1 << 22;
    if (x < -kFarAway || x > kFarAway || y < -kFarAway || y > kFarAway) return;
    const ImageDCFont& font = SelectedFont();
    const int width = font.Width(text);
    QTransform transform = QTransform::fromTranslate(x, y);
    // Qt turns clockwise for positive angles with y pointing down.
    if (font.escapement != 0) transform.rotate(-font.escapement / 10.0);
    // Glyphs may reach past their advance box (bearings, accents): the canvas forgets what
    // it knew about a generous box around the text.
    const int margin = font.height;
    QRect touched =
        transform.mapRect(QRect(-margin, -margin, width + 2 * margin, font.height + 2 * margin));
    if (clip) touched &= *clip;
    if (touched.isEmpty()) return;
    m_canvas.PrepareForForeignWrites(touched.left(), touched.top(), touched.right() + 1,
                                     touched.bottom() + 1);
    painter.setTransform(transform);
    if (m_nBkMode == OPAQUE) painter.fillRect(0, 0, width, font.height, ToQColor(m_crBk));
    painter.setFont(font.font);
    painter.setPen(ToQColor(m_crText));
    painter.drawText(QPoint(0, font.ascent), text);
}

CSize CImageDC::GetTextExtentPoint(const char* text, int n) {
    const ImageDCFont& font = SelectedFont();
    if (!text || n <= 0) return {0, font.height};
    return {font.Width(TextOf(text, n)), font.height};
}

void CImageDC::TextOut(int x, int y, const char* text, int n) {
    if (!text || n <= 0) return;
    if (QPainter* painter = TextPainter()) {
        painter->setClipping(false);
        DrawTextBox(*painter, x, y, TextOf(text, n), nullptr);
    }
}

int CImageDC::DrawText(const char* text, int n, const CRect& rect, unsigned format) {
    if (!text) return 0;
    const ImageDCFont& font = SelectedFont();
    const QString all = TextOf(text, n);
    // Positions in 64 bits and clamped: a rectangle may span the whole int range.
    static constexpr std::int64_t kLimit = 1 << 24;
    auto clamp = [](std::int64_t v) { return static_cast<int>(std::clamp(v, -kLimit, kLimit)); };
    const std::int64_t left = rect.left, top = rect.top;
    const std::int64_t width = std::int64_t{rect.right} - left,
                       height = std::int64_t{rect.bottom} - top;
    const QRect clip(QPoint(clamp(left), clamp(top)),
                     QPoint(clamp(rect.right) - 1, clamp(rect.bottom) - 1));
    QPainter* painter = clip.isEmpty() ? nullptr : TextPainter();
    if (painter) {
        painter->resetTransform();
        painter->setClipRect(clip);
    }
    auto lineLeft = [&](const QString& line) {
        return clamp((format & DT_CENTER) ? left + (width - font.Width(line)) / 2 : left);
    };
    int drawn = 0;
    if (format & DT_SINGLELINE) {
        const std::int64_t y = (format & DT_VCENTER) ? top + (height - font.height) / 2 : top;
        if (painter) DrawTextBox(*painter, lineLeft(all), clamp(y), all, &clip);
        drawn = font.height;
    } else {
        for (QString line : all.split(QLatin1Char('\n'))) {
            if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
            if (painter) DrawTextBox(*painter, lineLeft(line), clamp(top + drawn), line, &clip);
            drawn += font.height;
        }
    }
    if (painter) painter->setClipping(false);
    return drawn;
}

HFONT CImageDC::CreateFontIndirect(const LOGFONT& font) {
    return HFONT{m_fonts.Add(ImageDCFontObject{ResolveImageDCFont(font)})};
}

HPEN CImageDC::CreatePen(int /*style*/, int /*width*/, COLORREF colour) {
    return HPEN{m_pens.Add(ImageDCPen{colour})};
}

HBRUSH CImageDC::CreateSolidBrush(COLORREF colour) {
    return HBRUSH{m_brushes.Add(ImageDCBrush{colour})};
}

HRGN CImageDC::CreateRectRgn(int left, int top, int right, int bottom) {
    return HRGN{m_regions.Add(ImageDCRegion{CRect{left, top, right, bottom}})};
}

HFONT CImageDC::SelectObject(HFONT font) {
    if (!m_fonts.Find(font.id)) return HFONT{};
    const HFONT previous = m_hFont;
    m_hFont = font;
    return previous;
}

HPEN CImageDC::SelectObject(HPEN pen) {
    const ImageDCPen* object = m_pens.Find(pen.id);
    if (!object) return HPEN{};
    const HPEN previous = m_hPen;
    m_hPen = pen;
    m_penPixel = ToPixel(object->colour);
    return previous;
}

HBRUSH CImageDC::SelectObject(HBRUSH brush) {
    const ImageDCBrush* object = m_brushes.Find(brush.id);
    if (!object) return HBRUSH{};
    const HBRUSH previous = m_hBrush;
    m_hBrush = brush;
    m_brushPixel = ToPixel(object->colour);
    return previous;
}

BOOL CImageDC::PaintRgn(HRGN region) {
    const ImageDCRegion* object = m_regions.Find(region.id);
    if (!object) return FALSE;
    const CRect& r = object->rect;
    m_canvas.Fill(r.left, r.top, r.right, r.bottom, m_brushPixel);
    return TRUE;
}

BOOL CImageDC::DeleteObject(HGDIOBJ object) {
    switch (object.kind) {
        case GdiKind::Pen: return object.id != m_hPen.id && m_pens.Remove(object.id) ? TRUE : FALSE;
        case GdiKind::Brush:
            return object.id != m_hBrush.id && m_brushes.Remove(object.id) ? TRUE : FALSE;
        case GdiKind::Font:
            return object.id != m_hFont.id && m_fonts.Remove(object.id) ? TRUE : FALSE;
        case GdiKind::Region: return m_regions.Remove(object.id) ? TRUE : FALSE;
    }
    return FALSE;
}

int CImageDC::SetBkMode(int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE) return 0;
    const int previous = m_nBkMode;
    m_nBkMode = mode;
    return previous;
}

COLORREF CImageDC::SetBkColor(COLORREF colour) {
    const COLORREF previous = m_crBk;
    m_crBk = colour & 0xFFFFFFu;
    return previous;
}

COLORREF CImageDC::SetTextColor(COLORREF colour) {
    const COLORREF previous = m_crText;
    m_crText = colour & 0xFFFFFFu;
    return previous;
}
