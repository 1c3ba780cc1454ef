#include "visual/KeyedImage.h"

#include "core/Memory.h"

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

} // namespace qx
