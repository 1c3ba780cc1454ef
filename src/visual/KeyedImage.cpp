#include "visual/KeyedImage.h"

#include "core/Memory.h"
#include "visual/DrawArea.h"
#include "visual/RunCopy.h"

namespace qx {

KeyedImage::KeyedImage(ResourceEntry* resource) : ImageElement(resource) {
    key = Colour(0, 0, 0);
    runs = new (fallible) TransparencyRuns(bitmap, key);
}

KeyedImage::~KeyedImage() { delete runs; }

void KeyedImage::draw(Canvas* canvas) {
    if (canvas == nullptr) {
        return;
    }
    matchCanvasFormat(canvas);
    drawKeyed(canvas, position.x, position.y, bitmap, runs,
              Rect(0, 0, description.width, description.height));
}

void drawKeyed(Canvas* canvas, std::int32_t x, std::int32_t y, Bitmap* bitmap,
               const TransparencyRuns* runs, Rect source) {
    if (canvas == nullptr || bitmap == nullptr || runs == nullptr) {
        return;
    }
    const DrawArea area = placeDraw(*canvas, Point(x, y), source, canvas->clip);
    if (area.isEmpty()) {
        return;
    }
    DrawLocks locks(*canvas, area);
    const PixelRows screen = locks.screen();
    const PixelRows picture = locks.picture(bitmap, 16);
    if (locks.ready() && runs->count > 0) {
        copyOpaqueRuns(*runs, bitmap->description.width, area.drawnPart(), screen, picture);
    }
}

} // namespace qx
