#include "visual/FrameStripImage.h"

#include "core/Geometry.h"

namespace qx {

FrameStripImage::FrameStripImage(ResourceEntry* resource) : ImageElement(resource) {}

std::int32_t FrameStripImage::frameHeight() const {
    // A strip that claims no frames is shown as a single frame rather than divided by 0.
    const std::int32_t frames = description.frames != 0 ? description.frames : 1;
    return saturated(wide(description.height) / frames);
}

void FrameStripImage::draw(Canvas* canvas) {
    if (canvas == nullptr) {
        return;
    }
    matchCanvasFormat(canvas);
    const std::int32_t h = frameHeight();
    canvas->blit(position.x, position.y, bitmap,
                 Rect(0, saturated(wide(frameIndex) * h), description.width, h));
}

Rect FrameStripImage::bounds() {
    return Rect(position.x, position.y, description.width, frameHeight());
}

} // namespace qx
