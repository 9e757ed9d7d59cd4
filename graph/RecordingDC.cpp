#include "graph/RecordingDC.h"

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <utility>

namespace {

constexpr int kFirstObjectId = 4;  // 1 to 3 are the stock pen, brush and font

const char* KindName(GdiKind kind) {
    switch (kind) {
        case GdiKind::Pen: return "pen";
        case GdiKind::Brush: return "brush";
        case GdiKind::Font: return "font";
        case GdiKind::Region: return "region";
    }
    return "object";
}

std::string TextOf(const char* text, int n) {
    if (!text) return {};
    if (n < 0) return std::string(text);
    return std::string(text, static_cast<std::size_t>(n));
}

}  // namespace

std::string RecordedCall::ToString() const {
    std::ostringstream out;
    out << op << '(';
    const char* separator = "";
    for (long long a : args) {
        out << separator << a;
        separator = ",";
    }
    if (!text.empty() || op == "TextOut" || op == "DrawText" || op == "GetTextExtentPoint") {
        out << separator << '"' << text << '"';
    }
    out << ')';
    return out.str();
}

RecordingDC::RecordingDC() = default;

void RecordingDC::Record(std::string op, std::vector<long long> args, std::string text) {
    m_calls.push_back(RecordedCall{std::move(op), std::move(args), std::move(text)});
}

void RecordingDC::MoveTo(int x, int y) {
    Record("MoveTo", {x, y});
    m_ptPosition = CPoint{x, y};
}

void RecordingDC::LineTo(int x, int y) {
    Record("LineTo", {x, y});
    m_ptPosition = CPoint{x, y};
}

void RecordingDC::Rectangle(int left, int top, int right, int bottom) {
    Record("Rectangle", {left, top, right, bottom});
}

void RecordingDC::Ellipse(int left, int top, int right, int bottom) {
    Record("Ellipse", {left, top, right, bottom});
}

void RecordingDC::SetPixel(int x, int y, COLORREF colour) { Record("SetPixel", {x, y, colour}); }

int RecordingDC::FontHeight() const {
    if (m_hFont == kStockFont) return kStockFontHeight;
    const RecordedObject* object = Object(m_hFont.id);
    return object ? std::abs(object->font.lfHeight) : kStockFontHeight;
}

CSize RecordingDC::GetTextExtentPoint(const char* text, int n) {
    const std::string s = TextOf(text, n);
    Record("GetTextExtentPoint", {}, s);
    const long long h = FontHeight();
    const long long n64 = static_cast<long long>(s.size());
    return CSize{static_cast<int>(7 * n64 * h / 12), static_cast<int>(h)};
}

void RecordingDC::TextOut(int x, int y, const char* text, int n) {
    Record("TextOut", {x, y}, TextOf(text, n));
}

int RecordingDC::DrawText(const char* text, int n, const CRect& rect, unsigned format) {
    const std::string s = TextOf(text, n);
    Record("DrawText", {rect.left, rect.top, rect.right, rect.bottom, format}, s);
    int nLines = 1;
    if (!(format & DT_SINGLELINE)) {
        for (char c : s) nLines += (c == '\n');
    }
    return nLines * FontHeight();
}

int RecordingDC::CreateObject(GdiKind kind, RecordedObject object) {
    const int id = kFirstObjectId + static_cast<int>(m_objects.size());
    object.handle = HGDIOBJ{kind, id};
    m_objects.push_back(object);
    return id;
}

HFONT RecordingDC::CreateFontIndirect(const LOGFONT& font) {
    RecordedObject object;
    object.font = font;
    const int id = CreateObject(GdiKind::Font, object);
    Record("CreateFontIndirect", {id, font.lfHeight, font.lfEscapement});
    return HFONT{id};
}

HPEN RecordingDC::CreatePen(int style, int width, COLORREF colour) {
    RecordedObject object;
    object.colour = colour;
    const int id = CreateObject(GdiKind::Pen, object);
    Record("CreatePen", {id, style, width, colour});
    return HPEN{id};
}

HBRUSH RecordingDC::CreateSolidBrush(COLORREF colour) {
    RecordedObject object;
    object.colour = colour;
    const int id = CreateObject(GdiKind::Brush, object);
    Record("CreateSolidBrush", {id, colour});
    return HBRUSH{id};
}

HRGN RecordingDC::CreateRectRgn(int left, int top, int right, int bottom) {
    RecordedObject object;
    object.rect = CRect{left, top, right, bottom};
    const int id = CreateObject(GdiKind::Region, object);
    Record("CreateRectRgn", {id, left, top, right, bottom});
    return HRGN{id};
}

const RecordedObject* RecordingDC::Object(int id) const {
    const int index = id - kFirstObjectId;
    if (index < 0 || index >= static_cast<int>(m_objects.size())) return nullptr;
    return &m_objects[static_cast<std::size_t>(index)];
}

RecordedObject* RecordingDC::FindLive(HGDIOBJ handle) {
    RecordedObject* object = const_cast<RecordedObject*>(Object(handle.id));
    if (!object || object->deleted || object->handle.kind != handle.kind) return nullptr;
    return object;
}

bool RecordingDC::IsStock(HGDIOBJ handle) const {
    return handle == HGDIOBJ(kStockPen) || handle == HGDIOBJ(kStockBrush) ||
           handle == HGDIOBJ(kStockFont);
}

bool RecordingDC::IsSelectable(HGDIOBJ handle, const char* op) {
    if (IsStock(handle) || FindLive(handle)) return true;
    m_faults.push_back(std::string(op) + "(" + std::to_string(handle.id) + "): " +
                       (handle.id == 0 ? "null " : "unknown or deleted ") + KindName(handle.kind));
    return false;
}

HFONT RecordingDC::SelectObject(HFONT font) {
    const HFONT previous = m_hFont;
    Record("SelectObject", {font.id, previous.id});
    if (!IsSelectable(font, "SelectObject")) return HFONT{};
    m_hFont = font;
    return previous;
}

HPEN RecordingDC::SelectObject(HPEN pen) {
    const HPEN previous = m_hPen;
    Record("SelectObject", {pen.id, previous.id});
    if (!IsSelectable(pen, "SelectObject")) return HPEN{};
    m_hPen = pen;
    return previous;
}

HBRUSH RecordingDC::SelectObject(HBRUSH brush) {
    const HBRUSH previous = m_hBrush;
    Record("SelectObject", {brush.id, previous.id});
    if (!IsSelectable(brush, "SelectObject")) return HBRUSH{};
    m_hBrush = brush;
    return previous;
}

BOOL RecordingDC::PaintRgn(HRGN region) {
    Record("PaintRgn", {region.id});
    if (!FindLive(region)) {
        m_faults.push_back("PaintRgn(" + std::to_string(region.id) +
                           "): unknown or deleted region");
        return FALSE;
    }
    return TRUE;
}

BOOL RecordingDC::DeleteObject(HGDIOBJ object) {
    Record("DeleteObject", {object.id});
    const std::string call = "DeleteObject(" + std::to_string(object.id) + "): ";
    if (IsStock(object)) {
        m_faults.push_back(call + "stock " + KindName(object.kind));
        return FALSE;
    }
    RecordedObject* found = FindLive(object);
    if (!found) {
        m_faults.push_back(call + "unknown or deleted " + KindName(object.kind));
        return FALSE;
    }
    if (object == HGDIOBJ(m_hPen) || object == HGDIOBJ(m_hBrush) || object == HGDIOBJ(m_hFont)) {
        m_faults.push_back(call + KindName(object.kind) + " still selected");
        return FALSE;
    }
    found->deleted = true;
    return TRUE;
}

int RecordingDC::SetBkMode(int mode) {
    Record("SetBkMode", {mode});
    return std::exchange(m_nBkMode, mode);
}

COLORREF RecordingDC::SetBkColor(COLORREF colour) {
    Record("SetBkColor", {colour});
    return std::exchange(m_crBkColour, colour);
}

COLORREF RecordingDC::SetTextColor(COLORREF colour) {
    Record("SetTextColor", {colour});
    return std::exchange(m_crTextColour, colour);
}

std::vector<std::string> RecordingDC::Log() const {
    std::vector<std::string> lines;
    lines.reserve(m_calls.size());
    for (const RecordedCall& call : m_calls) lines.push_back(call.ToString());
    return lines;
}

std::vector<std::string> RecordingDC::Log(const std::vector<std::string>& ops) const {
    std::vector<std::string> lines;
    for (const RecordedCall& call : m_calls) {
        for (const std::string& op : ops) {
            if (call.op == op) {
                lines.push_back(call.ToString());
                break;
            }
        }
    }
    return lines;
}

std::vector<HGDIOBJ> RecordingDC::LiveObjects() const {
    std::vector<HGDIOBJ> live;
    for (const RecordedObject& object : m_objects) {
        if (!object.deleted) live.push_back(object.handle);
    }
    return live;
}

bool RecordingDC::IsBalanced() const {
    return m_hPen == kStockPen && m_hBrush == kStockBrush && m_hFont == kStockFont &&
           LiveObjects().empty() && m_faults.empty();
}

std::string RecordingDC::BalanceReport() const {
    std::ostringstream out;
    if (!(m_hPen == kStockPen)) out << "pen " << m_hPen.id << " left selected; ";
    if (!(m_hBrush == kStockBrush)) out << "brush " << m_hBrush.id << " left selected; ";
    if (!(m_hFont == kStockFont)) out << "font " << m_hFont.id << " left selected; ";
    for (const HGDIOBJ& object : LiveObjects()) {
        out << KindName(object.kind) << ' ' << object.id << " never deleted; ";
    }
    for (const std::string& fault : m_faults) out << fault << "; ";
    return out.str();
}
