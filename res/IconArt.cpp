#include "IconArt.h"

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>

#include <array>

namespace {

// The three button images as pixel rows; each character is one pixel of the palette below.
constexpr std::array<const char*, kToolbarImageHeight> kStart = {
    "................", "....k...........", "....kk..........", "....kgk.........",
    "....kggk........", "....kgggk.......", "....kggggk......", "....kgggggk.....",
    "....kggggk......", "....kgggk.......", "....kggk........", "....kgk.........",
    "....kk..........", "....k...........", "................",
};
constexpr std::array<const char*, kToolbarImageHeight> kStop = {
    "................", "................", "...kkkkkkkkkk...", "...krrrrrrrrk...",
    "...krrrrrrrrk...", "...krrrrrrrrk...", "...krrrrrrrrk...", "...krrrrrrrrk...",
    "...krrrrrrrrk...", "...krrrrrrrrk...", "...krrrrrrrrk...", "...krrrrrrrrk...",
    "...kkkkkkkkkk...", "................", "................",
};
constexpr std::array<const char*, kToolbarImageHeight> kAbout = {
    "................", ".....kkkkkk.....", "...kkbbbbbbkk...", "..kbbbbwwbbbbk..",
    "..kbbbbwwbbbbk..", ".kbbbbbbbbbbbbk.", ".kbbbbwwwbbbbbk.", ".kbbbbbwwbbbbbk.",
    ".kbbbbbwwbbbbbk.", ".kbbbbbwwbbbbbk.", "..kbbbbwwbbbbk..", "..kbbbwwwwbbbk..",
    "...kkbbbbbbkk...", ".....kkkkkk.....", "................",
};

// Palette index per pixel character; index 0 is transparent (the button face).
int PaletteIndex(char c) {
    switch (c) {
        case 'k': return 1;  // outline
        case 'g': return 2;  // green
        case 'r': return 3;  // red
        case 'b': return 4;  // blue
        case 'w': return 5;  // white
        default: return 0;
    }
}

QList<QRgb> ToolbarPalette() {
    QList<QRgb> palette = {qRgba(192, 192, 192, 0), qRgb(0, 0, 0),   qRgb(0, 128, 0),
                           qRgb(192, 0, 0),         qRgb(0, 0, 160), qRgb(255, 255, 255)};
    while (palette.size() < 16) palette.append(qRgb(128, 128, 128));
    return palette;
}

}  // namespace

QImage ToolbarBitmap() {
    QImage bitmap(kToolbarImageWidth * kToolbarImages, kToolbarImageHeight,
                  QImage::Format_Indexed8);
    bitmap.setColorTable(ToolbarPalette());
    const std::array<const std::array<const char*, kToolbarImageHeight>*, kToolbarImages> images = {
        &kStart, &kStop, &kAbout};
    for (int n = 0; n < kToolbarImages; ++n) {
        for (int y = 0; y < kToolbarImageHeight; ++y) {
            const char* row = (*images[n])[y];
            for (int x = 0; x < kToolbarImageWidth; ++x) {
                bitmap.setPixel(n * kToolbarImageWidth + x, y, PaletteIndex(row[x]));
            }
        }
    }
    return bitmap;
}

QImage ToolbarImage(int n) {
    return ToolbarBitmap()
        .copy(n * kToolbarImageWidth, 0, kToolbarImageWidth, kToolbarImageHeight)
        .convertToFormat(QImage::Format_ARGB32);
}

QImage DrawApplicationIcon(int size) {
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing, size > 16);
    p.scale(size / 32.0, size / 32.0);  // drawn on a 32 x 32 grid

    // A white card with a blue rim: the chart's background.
    p.setPen(QPen(QColor(20, 60, 140), 1.5));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 4, 4);

    // Axes.
    p.setPen(QPen(Qt::black, 1.5));
    p.drawLine(QPointF(7, 5), QPointF(7, 25));
    p.drawLine(QPointF(7, 25), QPointF(27, 25));

    // An impedance falling over time: squares joined by lines, as the window draws its series.
    const QPolygonF series({{9, 9}, {13, 12}, {17, 16}, {21, 18}, {25, 19}});
    p.setPen(QPen(QColor(200, 0, 0), 1.5));
    p.drawPolyline(series);
    p.setBrush(QColor(200, 0, 0));
    p.setPen(Qt::NoPen);
    for (const QPointF& pt : series) p.drawRect(QRectF(pt.x() - 1.5, pt.y() - 1.5, 3, 3));
    p.end();
    return icon;
}

QIcon ApplicationIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 256})
        icon.addPixmap(QPixmap::fromImage(DrawApplicationIcon(size)));
    return icon;
}
