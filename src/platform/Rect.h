#pragma once

#include <QPoint>
#include <algorithm>

// A rectangle the way the page objects and views hold it: four integers, right and bottom
// exclusive, in device units (y down) or logical units (y up) as the owner says.
struct Rect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    // No area: width or height not positive.
    constexpr bool isEmpty() const { return right <= left || bottom <= top; }
    // All four coordinates zero.
    constexpr bool isNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    // Right and bottom edges are outside.
    constexpr bool contains(int x, int y) const
    {
        return x >= left && x < right && y >= top && y < bottom;
    }
    constexpr bool contains(QPoint p) const { return contains(p.x(), p.y()); }
    constexpr void offset(int dx, int dy)
    {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    constexpr Rect offsetBy(int dx, int dy) const
    {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    // Smallest rectangle holding both; an empty rectangle adds nothing, two empty ones give null.
    constexpr Rect united(const Rect& o) const
    {
        if (o.isEmpty())
            return isEmpty() ? Rect{} : *this;
        if (isEmpty())
            return o;
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
                std::max(bottom, o.bottom)};
    }
    // Overlap of both; null when they do not overlap.
    constexpr Rect intersected(const Rect& o) const
    {
        Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
               std::min(bottom, o.bottom)};
        return r.isEmpty() ? Rect{} : r;
    }
    // Left <= right and top <= bottom.
    constexpr Rect normalized() const
    {
        return {std::min(left, right), std::min(top, bottom), std::max(left, right),
                std::max(top, bottom)};
    }
    constexpr bool operator==(const Rect&) const = default;
};
