// Small value types shared across the boundary: points, sizes, half-open rectangles,
// point arrays and colours. All coordinates are screen pixels, signed 32-bit.
#pragma once

#include "qx/types.h"

namespace qx {

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;

    constexpr Point() = default;
    constexpr Point(std::int32_t px, std::int32_t py) : x(px), y(py) {}
    constexpr void offset(std::int32_t dx, std::int32_t dy) {
        x += dx;
        y += dy;
    }
    constexpr bool operator==(const Point&) const = default;
};

struct Size {
    std::int32_t width = 0;
    std::int32_t height = 0;

    constexpr Size() = default;
    constexpr Size(std::int32_t w, std::int32_t h) : width(w), height(h) {}
    constexpr std::int32_t area() const { return width * height; }
    constexpr bool operator==(const Size&) const = default;
};

// Covers the pixels with x <= px < x + width and y <= py < y + height.
struct Rect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;

    constexpr Rect() = default;
    constexpr Rect(std::int32_t rx, std::int32_t ry, std::int32_t w, std::int32_t h)
        : x(rx), y(ry), width(w), height(h) {}
    constexpr Rect(Point corner, Size extent)
        : x(corner.x), y(corner.y), width(extent.width), height(extent.height) {}

    static constexpr Rect fromCorners(std::int32_t x1, std::int32_t y1, std::int32_t x2,
                                      std::int32_t y2) {
        return Rect(x1, y1, x2 - x1, y2 - y1);
    }

    constexpr bool contains(std::int32_t px, std::int32_t py) const {
        return x <= px && px < x + width && y <= py && py < y + height;
    }

    // Disjoint rectangles give zero width or height with the corner still at (left, top).
    constexpr Rect intersect(const Rect& other) const {
        const std::int32_t left = x > other.x ? x : other.x;
        const std::int32_t top = y > other.y ? y : other.y;
        const std::int32_t right =
            x + width < other.x + other.width ? x + width : other.x + other.width;
        const std::int32_t bottom =
            y + height < other.y + other.height ? y + height : other.y + other.height;
        const std::int32_t w = right - left;
        const std::int32_t h = bottom - top;
        return Rect(left, top, w < 0 ? 0 : w, h < 0 ? 0 : h);
    }

    constexpr bool isEmpty() const { return width <= 0 || height <= 0; }
    constexpr bool operator==(const Rect&) const = default;
};

// An owned array of points. The array is allocated with std::malloc so that whoever takes
// a copy over (the surface's polygon operation) can release it with std::free.
struct PointArray {
    std::int32_t count = 0;
    Point* points = nullptr;
};

// Red, green, blue and alpha run from 0 to 255; index is a palette index, -1 for none.
struct Colour {
    std::int32_t red = 0;
    std::int32_t green = 0;
    std::int32_t blue = 0;
    std::int32_t alpha = 0;
    std::int32_t index = -1;

    constexpr Colour() = default;
    constexpr Colour(std::int32_t r, std::int32_t g, std::int32_t b)
        : red(r), green(g), blue(b), alpha(0), index(-1) {}
    constexpr bool operator==(const Colour&) const = default;

    // The colour packed into a pixel of the named format (an atom-table identifier whose
    // name describes the pixel bit by bit, most significant first).
    std::uint32_t pixelValue(std::uint32_t format) const;
};

QX_BEGIN_LAYOUT_CHECKS
QX_LAYOUT_CHECK(sizeof(Point) == 8);
QX_LAYOUT_CHECK(sizeof(Size) == 8);
QX_LAYOUT_CHECK(sizeof(Rect) == 16);
QX_LAYOUT_CHECK(sizeof(PointArray) == 8);
QX_LAYOUT_CHECK(sizeof(Colour) == 20);
QX_END_LAYOUT_CHECKS

} // namespace qx
