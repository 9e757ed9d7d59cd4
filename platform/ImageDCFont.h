#pragma once
// The Qt font that answers a LOGFONT request, with the metrics text layout needs.
//
// Resolving a request (finding the pixel size whose cell height matches lfHeight) takes
// several metric look-ups, so resolved fonts are kept in one process-wide cache: a chart
// that creates and releases its three fonts at every paint pays for them once.

#include "graph/GdiTypes.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>

#include <memory>

struct ImageDCFont {
    QFont font;
    QFontMetrics metrics;
    int ascent = 0;      // baseline below the top of the cell, pixels
    int height = 0;      // cell height, pixels
    int escapement = 0;  // tenths of a degree, counter-clockwise

    // A cell of cellHeight pixels, or the font's own (ascent + descent) when that is taller;
    // any extra room goes above the glyphs, as internal leading.
    ImageDCFont(const QFont& f, int escapementTenths, int cellHeight);
    // Advance width of the text along its baseline, pixels.
    int Width(const QString& text) const { return metrics.horizontalAdvance(text); }
};

// Cell height used when a request gives lfHeight 0, pixels.
constexpr int kDefaultFontCellHeight = 12;

// The font for the request, from the cache; never null. Needs a Qt GUI application object.
// lfHeight > 0 is the cell height, < 0 the character height (em size), 0 the default. A
// cell height is met exactly: the glyphs come from the largest pixel size whose own cell
// fits (pixel sizes come in whole pixels, and their cells grow by 1 or 2 pixels at a time),
// and the rest of the cell lies above them. Face "Swiss", an empty face or pitch-and-family
// FF_SWISS mean the system's sans-serif. Glyphs are never antialiased, so text pixels are
// deterministic.
std::shared_ptr<const ImageDCFont> ResolveImageDCFont(const LOGFONT& request);
