#pragma once
#include <windows.h>

class CRect : public RECT {
public:
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    CRect(const RECT& rect) : RECT(rect) {}
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    operator RECT*() { return this; }
    operator const RECT*() const { return this; }
};
