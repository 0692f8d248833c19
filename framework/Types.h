#pragma once
// MFC's small value types, as far as the program uses them.

#include <windows.h>

struct CPoint : POINT {
    CPoint() : POINT{0, 0} {}
    CPoint(int xValue, int yValue) : POINT{xValue, yValue} {}
};

struct CRect : RECT {
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};
