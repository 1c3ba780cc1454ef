#include "qx/canvas.h"
#include "core/Geometry.h"
#include "core/PointArrays.h"

namespace qx {

namespace {
// Bytes from column 0 of a surface row to the origin's column.
std::ptrdiff_t originBytes(const Canvas& canvas) {
    return static_cast<std::ptrdiff_t>(wide(canvas.origin.x) * canvas.bitsPerPixel / 8);
}
} // namespace

RowBlock* Canvas::lockRows(std::int32_t first, std::int32_t last) {
    if (surface == nullptr) {
        return nullptr;
    }
    RowBlock* block =
        surface->lockRows(saturated(wide(first) + origin.y), saturated(wide(last) + origin.y));
    if (block != nullptr) {
        block->address += originBytes(*this);
    }
    return block;
}

void Canvas::unlockRows(RowBlock* block) {
    if (block == nullptr || surface == nullptr) {
        return;
    }
    block->address -= originBytes(*this);
    surface->unlockRows(block);
}

RowBlock* Canvas::lockSurfaceRows(std::int32_t first, std::int32_t last) {
    return surface != nullptr ? surface->lockRows(first, last) : nullptr;
}

void Canvas::unlockSurfaceRows(RowBlock* block) {
    if (block != nullptr && surface != nullptr) {
        surface->unlockRows(block);
    }
}

void Canvas::drawBitmap(std::int32_t x, std::int32_t y, const Bitmap* bitmap) {
    if (surface == nullptr || bitmap == nullptr) {
        return;
    }
    const Rect placed(saturated(wide(x) + origin.x), saturated(wide(y) + origin.y),
                      bitmap->description.width, bitmap->description.height);
    const Rect visible = placed.intersect(clip);
    // Asked for even when nothing is visible; the surface decides what an empty copy does.
    surface->copy(visible.x, visible.y, bitmap,
                  Rect(saturated(wide(visible.x) - placed.x), saturated(wide(visible.y) - placed.y),
                       visible.width, visible.height));
}

void Canvas::blit(std::int32_t x, std::int32_t y, const Bitmap* bitmap, Rect source) {
    if (surface != nullptr && bitmap != nullptr) {
        surface->copy(saturated(wide(x) + origin.x), saturated(wide(y) + origin.y), bitmap, source);
    }
}

void Canvas::drawPolygon(const PointArray& points) {
    if (surface != nullptr) {
        surface->polygon(copyPointArray(points));
    }
}

} // namespace qx
