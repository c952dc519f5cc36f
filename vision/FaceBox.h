#pragma once

#include <QtGlobal>

// A face box in pixels of the processed image, with inclusive corners. The default is the
// empty box {0, 0, -1, -1}; a box whose right is left of its left (or bottom above its top)
// has zero width (height).
struct FaceBox
{
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;

    int width() const { return right < left ? 0 : right - left + 1; }
    int height() const { return bottom < top ? 0 : bottom - top + 1; }
    bool isEmpty() const { return width() == 0 || height() == 0; }
    qint64 area() const { return qint64(width()) * height(); }
    void clear() { *this = FaceBox(); }

    bool operator==(const FaceBox &other) const
    {
        return left == other.left && top == other.top && right == other.right &&
               bottom == other.bottom;
    }
    bool operator!=(const FaceBox &other) const { return !(*this == other); }
};
