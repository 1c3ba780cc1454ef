#pragma once

#include "visual/ImageElement.h"
#include "visual/TransparencyRuns.h"

namespace qx {

// A picture whose pixels of the key colour (black) are transparent, drawn through
// transparency runs encoded once at construction.
class KeyedImage : public ImageElement {
public:
    explicit KeyedImage(ResourceEntry* resource);
    ~KeyedImage() override;

    void draw(Canvas* canvas) override;

    TransparencyRuns* runs = nullptr; // owned
    Colour key;
};

// Draws the source rectangle of a 16-bit bitmap at (x, y) plus the canvas origin, clipped,
// copying only the opaque runs.
void drawKeyed(Canvas* canvas, std::int32_t x, std::int32_t y, Bitmap* bitmap,
               const TransparencyRuns* runs, Rect source);

} // namespace qx
