#pragma once
// CDC: the drawing surface every chart and the status text are drawn through.
//
// Coordinates are integer device pixels, x to the right, y downwards. A surface owns the
// drawing objects it creates; a caller selects one in, keeps the handle SelectObject gives
// back, selects that back before it deletes its own. Deleting an object that is still
// selected is a caller error a surface may refuse (it returns FALSE).

#include "GdiTypes.h"

class CDC {
public:
    virtual ~CDC() = default;

    // Sets the current position only.
    virtual void MoveTo(int x, int y) = 0;
    // Line in the selected pen from the current position to (x, y); the end pixel is not
    // painted. The current position becomes (x, y).
    virtual void LineTo(int x, int y) = 0;
    // Outline in the selected pen, inside filled with the selected brush; right and
    // bottom exclusive.
    virtual void Rectangle(int left, int top, int right, int bottom) = 0;
    // As Rectangle, for the ellipse inscribed in the box.
    virtual void Ellipse(int left, int top, int right, int bottom) = 0;
    virtual void SetPixel(int x, int y, COLORREF colour) = 0;

    // Width and height of the first n bytes of text in the selected font, measured along
    // its own baseline (escapement ignored).
    virtual CSize GetTextExtentPoint(const char* text, int n) = 0;
    // Text in the selected font and text colour with the top-left corner of its box at
    // (x, y); an escapement of 900 turns the box about that corner to read upwards.
    virtual void TextOut(int x, int y, const char* text, int n) = 0;
    // format DT_CENTER|DT_VCENTER|DT_SINGLELINE: one line centred both ways in rect.
    // format 0: drawn from the top-left corner, "\n" starting a new line, clipped to rect.
    // n = -1 means a NUL-terminated string. Returns the height of the text drawn.
    virtual int DrawText(const char* text, int n, const CRect& rect, unsigned format) = 0;

    virtual HFONT CreateFontIndirect(const LOGFONT& font) = 0;
    virtual HPEN CreatePen(int style, int width, COLORREF colour) = 0;
    virtual HBRUSH CreateSolidBrush(COLORREF colour) = 0;
    virtual HRGN CreateRectRgn(int left, int top, int right, int bottom) = 0;

    // Each returns the object of that kind that was selected before.
    virtual HFONT SelectObject(HFONT font) = 0;
    virtual HPEN SelectObject(HPEN pen) = 0;
    virtual HBRUSH SelectObject(HBRUSH brush) = 0;

    // Fills the region with the selected brush.
    virtual BOOL PaintRgn(HRGN region) = 0;
    virtual BOOL DeleteObject(HGDIOBJ object) = 0;

    // Each returns the previous value.
    virtual int SetBkMode(int mode) = 0;
    virtual COLORREF SetBkColor(COLORREF colour) = 0;
    virtual COLORREF SetTextColor(COLORREF colour) = 0;
};
