#pragma once

namespace Nubra {

// An integer rectangle; the right edge x + width and the bottom edge y + height are exclusive.
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    constexpr Rect() = default;
    constexpr Rect(int x, int y, int width, int height) : x(x), y(y), width(width), height(height) {}

    // Touching rectangles meet in a zero-wide (or zero-high) rectangle at the shared edge;
    // disjoint ones give (0, 0, 0, 0).
    Rect Intersection(const Rect& other) const;
    bool operator==(const Rect&) const = default;
};

// The same in doubles, for clipping fractional destinations.
struct DRect {
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;

    constexpr DRect() = default;
    constexpr DRect(double x, double y, double width, double height) : x(x), y(y), width(width), height(height) {}

    DRect Intersection(const DRect& other) const;
    bool operator==(const DRect&) const = default;
};

struct Point {
    int x = 0;
    int y = 0;

    constexpr Point() = default;
    constexpr Point(int x, int y) : x(x), y(y) {}
    bool operator==(const Point&) const = default;
};

} // namespace Nubra
