// FillColor: a rectangle filled with a plain colour, for the self-drawn panes.
#pragma once

#include <windows.h>

inline void FillColor(HDC dc, int left, int top, int right, int bottom, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    RECT r = {left, top, right, bottom};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}
