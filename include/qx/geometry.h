// Small value types shared across the boundary: points, sizes, half-open rectangles,
// point arrays and colours. All coordinates are screen pixels, signed 32-bit. Their
// operations may be called any time and take and answer values, except where noted.
#pragma once

#include "qx/types.h"

namespace qx {

// Coordinates are summed in 64 bits, and a result beyond 32 bits sticks at the nearer end of
// the range: a place far off the screen stays far off it, whatever the data says.
constexpr std::int32_t saturated(std::int64_t value) {
    return value > INT32_MAX   ? INT32_MAX
           : value < INT32_MIN ? INT32_MIN
                               : static_cast<std::int32_t>(value);
}

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;

    constexpr Point() = default;
    constexpr Point(std::int32_t px, std::int32_t py) : x(px), y(py) {}
    constexpr void offset(std::int32_t dx, std::int32_t dy) {
        x = saturated(std::int64_t{x} + dx);
        y = saturated(std::int64_t{y} + dy);
    }
    constexpr bool operator==(const Point&) const = default;
};

struct Size {
    std::int32_t width = 0;
    std::int32_t height = 0;

    constexpr Size() = default;
    constexpr Size(std::int32_t w, std::int32_t h) : width(w), height(h) {}
    constexpr std::int32_t area() const { return saturated(std::int64_t{width} * height); }
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
        return Rect(x1, y1, saturated(std::int64_t{x2} - x1), saturated(std::int64_t{y2} - y1));
    }

    // The right and bottom edges, which may lie beyond 32 bits.
    constexpr std::int64_t right() const { return std::int64_t{x} + width; }
    constexpr std::int64_t bottom() const { return std::int64_t{y} + height; }

    constexpr bool contains(std::int32_t px, std::int32_t py) const {
        return x <= px && px < right() && y <= py && py < bottom();
    }

    // Disjoint rectangles give zero width or height with the corner still at (left, top).
    constexpr Rect intersect(const Rect& other) const {
        const std::int32_t left = x > other.x ? x : other.x;
        const std::int32_t top = y > other.y ? y : other.y;
        const std::int64_t r = right() < other.right() ? right() : other.right();
        const std::int64_t b = bottom() < other.bottom() ? bottom() : other.bottom();
        return Rect(left, top, saturated(r > left ? r - left : 0),
                    saturated(b > top ? b - top : 0));
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
    // name describes the pixel bit by bit, most significant first). Reads the format's name
    // from the bound host's atom table, so only once a host is bound (the module's: init).
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
