#include "visual/TranslucentImage.h"

namespace qx {

namespace {
// The mixed path does not clip; it is only kept inside the screen so that a picture pushed
// off the edge cannot write outside the framebuffer.
constexpr Rect kScreen(0, 0, 640, 480);
} // namespace

TranslucentImage::TranslucentImage(std::int32_t x, std::int32_t y, ResourceEntry* resource)
    : ImageElement(resource) {
    position = Point(x, y);
}

void TranslucentImage::setOpacity(double opacity) {
    opaque = 0;
    invisible = 0;
    if (opacity == 1.0) {
        opaque = 1;
    } else if (opacity < 0.0001) {
        invisible = 1;
    } else {
        mixTables.build(opacity);
    }
}

void TranslucentImage::draw(Canvas* canvas) {
    if (canvas == nullptr || invisible == 1) {
        return;
    }
    if (opaque == 1) {
        ImageElement::draw(canvas);
        return;
    }
    matchCanvasFormat(canvas);
    drawMixed(canvas);
}

void TranslucentImage::drawMixed(Canvas* canvas) {
    const Rect placed(canvas->origin.x + position.x, canvas->origin.y + position.y,
                      description.width, description.height);
    const Rect visible = placed.intersect(kScreen);
    if (visible.isEmpty()) {
        return;
    }
    const std::int32_t sx = visible.x - placed.x;
    const std::int32_t sy = visible.y - placed.y;

    RowBlock* picture = bitmap->lockRows(sy, sy + visible.height - 1);
    RowBlock* screen = canvas->lockRows(position.y + sy, position.y + sy + visible.height - 1);
    if (picture != nullptr && picture->bitsPerPixel >= 16 && screen != nullptr &&
        screen->bitsPerPixel >= 16) {
        const std::uint16_t* red = mixTables.mixRed;
        const std::uint16_t* green = mixTables.mixGreen;
        const std::uint16_t* blue = mixTables.mixBlue;
        std::uint8_t* screenRow = screen->address + (position.x + sx) * 2;
        const std::uint8_t* pictureRow = picture->address + sx * 2;
        for (std::int32_t row = 0; row < visible.height; ++row) {
            auto* d = reinterpret_cast<std::uint16_t*>(screenRow);
            const auto* s = reinterpret_cast<const std::uint16_t*>(pictureRow);
            for (std::int32_t i = 0; i < visible.width; ++i) {
                const unsigned dp = d[i];
                const unsigned sp = s[i];
                d[i] =
                    static_cast<std::uint16_t>(red[((dp >> 10) & 31u) * 32 + ((sp >> 10) & 31u)] |
                                               green[((dp >> 5) & 31u) * 32 + ((sp >> 5) & 31u)] |
                                               blue[(dp & 31u) * 32 + (sp & 31u)]);
            }
            screenRow += screen->pitch;
            pictureRow += picture->pitch;
        }
    }
    canvas->unlockRows(screen);
    bitmap->unlockRows(picture);
}

} // namespace qx
