#pragma once
// Helpers shared by the image surface tests: white images, pixel reads as COLORREF, the
// set of painted pixels, and an ASCII picture for failure messages.

#include "graph/GdiTypes.h"

#include <QImage>

#include <set>
#include <string>
#include <utility>

using PixelSet = std::set<std::pair<int, int>>;  // (x, y)

inline QImage WhiteImage(int width, int height, QImage::Format format = QImage::Format_RGB32) {
    QImage image(width, height, format);
    image.fill(0xFFFFFFFFu);
    return image;
}

inline COLORREF PixelAt(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

// Every pixel that is not white.
inline PixelSet PaintedPixels(const QImage& image) {
    PixelSet painted;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (PixelAt(image, x, y) != RGB(255, 255, 255)) painted.insert({x, y});
    return painted;
}

// One character per pixel: '.' white, '#' black, 'o' any other colour.
inline std::string Picture(const QImage& image) {
    std::string text;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const COLORREF c = PixelAt(image, x, y);
            text += c == RGB(255, 255, 255) ? '.' : c == RGB(0, 0, 0) ? '#' : 'o';
        }
        text += '\n';
    }
    return text;
}

// The bounding box of the painted pixels: (left, top, right, bottom), right and bottom
// exclusive; all zero when nothing is painted.
inline CRect InkBox(const QImage& image) {
    const PixelSet painted = PaintedPixels(image);
    if (painted.empty()) return {};
    CRect box{image.width(), image.height(), -1, -1};
    for (const auto& [x, y] : painted) {
        box.left = std::min(box.left, x);
        box.top = std::min(box.top, y);
        box.right = std::max(box.right, x + 1);
        box.bottom = std::max(box.bottom, y + 1);
    }
    return box;
}
