#include "ImageDCFont.h"

#include <QFontInfo>
#include <QStringList>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <tuple>

ImageDCFont::ImageDCFont(const QFont& f, int escapementTenths, int cellHeight)
    : font(f),
      metrics(f),
      ascent(metrics.ascent() + std::max(0, cellHeight - (metrics.ascent() + metrics.descent()))),
      height(std::max(cellHeight, metrics.ascent() + metrics.descent())),
      escapement(escapementTenths) {}

namespace {

using FontKey = std::tuple<int, int, int, int, int, int, std::string>;

std::string FaceName(const LOGFONT& request) {
    const char* face = request.lfFaceName;
    return std::string(face, strnlen(face, sizeof request.lfFaceName));
}

bool WantsSansSerif(const LOGFONT& request, const std::string& face) {
    return face.empty() || face == "Swiss" || (request.lfPitchAndFamily & 0xF0) == FF_SWISS;
}

int CellHeight(const QFont& font, int pixelSize) {
    QFont sized(font);
    sized.setPixelSize(pixelSize);
    const QFontMetrics metrics(sized);
    return metrics.ascent() + metrics.descent();
}

// The largest pixel size whose cell is no taller than `cell` (at least 1).
int PixelSizeForCell(const QFont& font, int cell) {
    int size = std::max(1, cell * cell / std::max(1, CellHeight(font, cell)));
    while (size > 1 && CellHeight(font, size) > cell) --size;
    while (CellHeight(font, size + 1) <= cell) ++size;
    return size;
}

// Heights are bounded so an absurd request cannot ask the font engine for a huge glyph.
constexpr int kMaxHeight = 2000;

// The cell height a request asks for, or 0 when it asks for a character height instead.
int RequestedCell(const LOGFONT& request) {
    if (request.lfHeight < 0) return 0;
    return std::min(request.lfHeight == 0 ? kDefaultFontCellHeight : request.lfHeight, kMaxHeight);
}

QFont MakeFont(const LOGFONT& request) {
    const std::string face = FaceName(request);
    QFont font;
    if (WantsSansSerif(request, face)) {
        font.setFamilies(QStringList{QStringLiteral("Sans Serif")});
        font.setStyleHint(QFont::SansSerif, QFont::NoAntialias);
    } else {
        font.setFamilies(QStringList{QString::fromLatin1(face.c_str())});
        font.setStyleStrategy(QFont::NoAntialias);
    }
    const int weight = request.lfWeight <= 0 ? 400 : std::clamp(request.lfWeight, 1, 1000);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(request.lfItalic != 0);
    font.setUnderline(request.lfUnderline != 0);
    font.setStrikeOut(request.lfStrikeOut != 0);
    if (request.lfHeight < 0)
        font.setPixelSize(std::clamp(-static_cast<long long>(request.lfHeight), 1LL,
                                     static_cast<long long>(kMaxHeight)));
    else
        font.setPixelSize(PixelSizeForCell(font, RequestedCell(request)));
    return font;
}

}  // namespace

std::shared_ptr<const ImageDCFont> ResolveImageDCFont(const LOGFONT& request) {
    static std::mutex mutex;
    static std::map<FontKey, std::shared_ptr<const ImageDCFont>> cache;
    const int escapement = request.lfEscapement % 3600;
    const FontKey key{request.lfHeight,
                      escapement,
                      request.lfWeight,
                      request.lfItalic,
                      request.lfUnderline * 2 + request.lfStrikeOut,
                      request.lfPitchAndFamily,
                      FaceName(request)};
    const std::lock_guard lock(mutex);
    auto found = cache.find(key);
    if (found != cache.end()) return found->second;
    auto font =
        std::make_shared<const ImageDCFont>(MakeFont(request), escapement, RequestedCell(request));
    constexpr std::size_t kMaxCached = 256;  // a program uses a handful; never grow unbounded
    if (cache.size() >= kMaxCached) cache.clear();
    cache.emplace(key, font);
    return font;
}
