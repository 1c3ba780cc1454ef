// The start that the draws writing screen pixels themselves (alpha, keyed, translucent)
// share: place the picture, clip it, lock the rows it touches, and give them back however
// the draw ends. The draws write 16-bit "-rrrrrgggggbbbbb" pixels, so any other screen is
// refused rather than written wrongly.
#pragma once

#include <cstdint>

#include "core/Geometry.h"
#include "qx/bitmap.h"
#include "qx/canvas.h"
#include "qx/geometry.h"

namespace qx {

// Rows of pixels: the first pixel used in the first row, and the bytes from a row to the
// next.
struct PixelRows {
    std::uint8_t* first = nullptr;
    std::int32_t pitch = 0;

    template <class Pixel> Pixel* row(std::int32_t n) const {
        return reinterpret_cast<Pixel*>(first + wide(n) * pitch);
    }
};

// What one draw covers: `visible` on the surface, whose top-left pixel comes from `source`
// in the picture.
struct DrawArea {
    Rect visible; // surface coordinates; empty when nothing is drawn
    Point source;

    bool isEmpty() const { return visible.isEmpty(); }

    // The picture's pixels that are drawn.
    Rect drawnPart() const { return Rect(source.x, source.y, visible.width, visible.height); }
};

// The picture's rectangle `part` placed with its top-left corner at `at` (relative to the
// canvas origin), cut to `bounds` (surface coordinates); an empty area when no pixel remains.
inline DrawArea placeDraw(const Canvas& canvas, Point at, const Rect& part, const Rect& bounds) {
    const Rect placed(saturated(wide(at.x) + canvas.origin.x),
                      saturated(wide(at.y) + canvas.origin.y), part.width, part.height);
    const Rect visible = placed.intersect(bounds);
    if (visible.isEmpty()) {
        return DrawArea{};
    }
    // The origin is applied here once: everything after works in surface coordinates.
    return DrawArea{visible, Point(saturated(wide(part.x) + (wide(visible.x) - placed.x)),
                                   saturated(wide(part.y) + (wide(visible.y) - placed.y)))};
}

// The rows of one draw, locked in the order asked for and unlocked in the reverse order when
// the guard goes. After a refused lock nothing more is locked and ready() is false.
class DrawLocks {
public:
    DrawLocks(Canvas& canvas, const DrawArea& area) : canvas_(canvas), area_(area) {}
    DrawLocks(const DrawLocks&) = delete;
    DrawLocks& operator=(const DrawLocks&) = delete;
    ~DrawLocks();

    // The visible rows of the screen, from the area's first column; refused unless 16-bit.
    PixelRows screen();
    // The area's rows of the picture, from its source column; refused unless the bitmap gives
    // them at bitsPerPixel.
    PixelRows picture(Bitmap* bitmap, std::int32_t bitsPerPixel);
    bool ready() const { return ready_; }

private:
    struct Lock {
        Bitmap* bitmap; // null: the canvas's surface
        RowBlock* block;
    };
    PixelRows keep(Bitmap* bitmap, RowBlock* block, std::int32_t bitsPerPixel, std::int32_t column);

    static constexpr int kMostLocks = 3; // the screen, a colour and an alpha picture

    Canvas& canvas_;
    const DrawArea area_;
    Lock locks_[kMostLocks] = {};
    int count_ = 0;
    bool ready_ = true;
};

// Inline with the draws: a cursor's keyed draw takes a few hundred nanoseconds, and calls
// for every lock were a measurable part of it.
inline DrawLocks::~DrawLocks() {
    while (count_ > 0) {
        const Lock& lock = locks_[--count_];
        if (lock.bitmap != nullptr) {
            lock.bitmap->unlockRows(lock.block);
        } else {
            canvas_.unlockSurfaceRows(lock.block);
        }
    }
}

inline PixelRows DrawLocks::screen() {
    if (!ready_ || count_ == kMostLocks) {
        ready_ = false;
        return {};
    }
    const Rect& v = area_.visible;
    return keep(nullptr, canvas_.lockSurfaceRows(v.y, saturated(v.bottom() - 1)), 16, v.x);
}

inline PixelRows DrawLocks::picture(Bitmap* bitmap, std::int32_t bitsPerPixel) {
    if (!ready_ || count_ == kMostLocks || bitmap == nullptr) {
        ready_ = false;
        return {};
    }
    const std::int32_t first = area_.source.y;
    return keep(bitmap, bitmap->lockRows(first, saturated(wide(first) + area_.visible.height - 1)),
                bitsPerPixel, area_.source.x);
}

inline PixelRows DrawLocks::keep(Bitmap* bitmap, RowBlock* block, std::int32_t bitsPerPixel,
                                 std::int32_t column) {
    if (block == nullptr) {
        ready_ = false;
        return {};
    }
    locks_[count_++] = Lock{bitmap, block};
    if (block->bitsPerPixel != bitsPerPixel) {
        ready_ = false;
        return {};
    }
    return PixelRows{block->address + wide(column) * (bitsPerPixel / 8), block->pitch};
}

} // namespace qx
