#pragma once

// A screen rectangle in whole pixels; right and bottom are exclusive.
struct GRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};
