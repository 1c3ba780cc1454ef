#include "visual/DrawArea.h"

namespace qx {

std::optional<DrawArea> placeDraw(const Canvas& canvas, Point at, const Rect& part,
                                  const Rect& bounds) {
    const Rect placed(saturated(wide(at.x) + canvas.origin.x),
                      saturated(wide(at.y) + canvas.origin.y), part.width, part.height);
    const Rect visible = placed.intersect(bounds);
    if (visible.isEmpty()) {
        return std::nullopt;
    }
    // The origin is applied here once: everything after works in surface coordinates.
    return DrawArea{visible, Point(saturated(wide(part.x) + (wide(visible.x) - placed.x)),
                                   saturated(wide(part.y) + (wide(visible.y) - placed.y)))};
}

DrawLocks::~DrawLocks() {
    while (count_ > 0) {
        const Lock& lock = locks_[--count_];
        if (lock.bitmap != nullptr) {
            lock.bitmap->unlockRows(lock.block);
        } else {
            canvas_.unlockSurfaceRows(lock.block);
        }
    }
}

PixelRows DrawLocks::screen() {
    if (!ready_ || count_ == kMostLocks) {
        ready_ = false;
        return {};
    }
    const Rect& v = area_.visible;
    return keep(nullptr, canvas_.lockSurfaceRows(v.y, saturated(v.bottom() - 1)), 16, v.x);
}

PixelRows DrawLocks::picture(Bitmap* bitmap, std::int32_t bitsPerPixel) {
    if (!ready_ || count_ == kMostLocks || bitmap == nullptr) {
        ready_ = false;
        return {};
    }
    const std::int32_t first = area_.source.y;
    return keep(bitmap, bitmap->lockRows(first, saturated(wide(first) + area_.visible.height - 1)),
                bitsPerPixel, area_.source.x);
}

PixelRows DrawLocks::keep(Bitmap* bitmap, RowBlock* block, std::int32_t bitsPerPixel,
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
