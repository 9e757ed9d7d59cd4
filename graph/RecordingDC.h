#pragma once
// RecordingDC: a drawing surface that draws nothing and records every call, for tests and
// fuzzing of the chart engine.
//
// Each call is logged with its arguments in order (ints, colours and handle ids as
// numbers, text separately) and has a text form such as "LineTo(10,20)" or
// "TextOut(3,4,\"10\")". The surface hands out object handles (ids unique across kinds),
// tracks the selected pen, brush and font and the current position, and notes every misuse
// as a fault: deleting an object that is selected, unknown or already deleted, selecting a
// null, unknown or deleted object, painting with an unknown region.
//
// It starts with a stock pen, brush and font selected (never counted as created, never to
// be deleted). The stock font is kStockFontHeight pixels high.
//
// Text measure: a text of n bytes in a font of height h (its |lfHeight|) measures
// cx = 7 * n * h / 12 (integer division) and cy = h, so the layout is exact in tests.

#include <string>
#include <vector>

#include "graph/CDC.h"

struct RecordedCall {
    std::string op;               // the CDC operation's name
    std::vector<long long> args;  // numeric arguments in call order (see ToString)
    std::string text;             // the text argument of text operations, else empty
    std::string ToString() const;
};

// One object the surface created.
struct RecordedObject {
    HGDIOBJ handle;
    LOGFONT font;         // fonts only
    COLORREF colour = 0;  // pens and brushes
    CRect rect;           // regions only
    bool deleted = false;
};

class RecordingDC : public CDC {
public:
    static constexpr int kStockFontHeight = 16;

    RecordingDC();

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

    // The log.
    const std::vector<RecordedCall>& Calls() const { return m_calls; }
    // Text forms of all calls, or of the calls of the named operations only.
    std::vector<std::string> Log() const;
    std::vector<std::string> Log(const std::vector<std::string>& ops) const;
    // Forgets the log (objects, selection and faults stay).
    void ClearLog() { m_calls.clear(); }

    // State.
    CPoint CurrentPosition() const { return m_ptPosition; }
    HPEN SelectedPen() const { return m_hPen; }
    HBRUSH SelectedBrush() const { return m_hBrush; }
    HFONT SelectedFont() const { return m_hFont; }
    HPEN StockPen() const { return kStockPen; }
    HBRUSH StockBrush() const { return kStockBrush; }
    HFONT StockFont() const { return kStockFont; }
    int BkMode() const { return m_nBkMode; }
    COLORREF BkColor() const { return m_crBkColour; }
    COLORREF TextColor() const { return m_crTextColour; }
    // The object with this id, or null for stock or unknown ids.
    const RecordedObject* Object(int id) const;
    // Objects created and not yet deleted.
    std::vector<HGDIOBJ> LiveObjects() const;
    // Every misuse so far, as text naming the call.
    const std::vector<std::string>& Faults() const { return m_faults; }
    // True when the stock objects are selected again, every created object is deleted and
    // no fault happened: what a caller that cleans up after itself leaves behind.
    bool IsBalanced() const;
    // Describes what keeps the surface from being balanced, for test messages.
    std::string BalanceReport() const;

private:
    static constexpr HPEN kStockPen{1};
    static constexpr HBRUSH kStockBrush{2};
    static constexpr HFONT kStockFont{3};

    void Record(std::string op, std::vector<long long> args, std::string text = {});
    int CreateObject(GdiKind kind, RecordedObject object);
    // The live created object with this handle's id and kind, or null.
    RecordedObject* FindLive(HGDIOBJ handle);
    bool IsStock(HGDIOBJ handle) const;
    bool IsSelectable(HGDIOBJ handle, const char* op);
    int FontHeight() const;

    std::vector<RecordedCall> m_calls;
    std::vector<RecordedObject> m_objects;  // index = id - kFirstObjectId
    std::vector<std::string> m_faults;
    CPoint m_ptPosition;
    HPEN m_hPen = kStockPen;
    HBRUSH m_hBrush = kStockBrush;
    HFONT m_hFont = kStockFont;
    int m_nBkMode = OPAQUE;
    COLORREF m_crBkColour = RGB(255, 255, 255);
    COLORREF m_crTextColour = RGB(0, 0, 0);
};
