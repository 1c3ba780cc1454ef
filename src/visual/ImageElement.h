#pragma once

#include "media/Deletable.h"
#include "qx/bitmap.h"
#include "qx/resources.h"
#include "visual/VisibleElement.h"

namespace qx {

// A picture loaded from an image resource, converted once to the screen's 16-bit format
// and drawn at its position. Pictures of 8 bits per pixel keep their depth (masks).
class ImageElement : public Deletable, public VisibleElement {
public:
    explicit ImageElement(ResourceEntry* resource);
    ~ImageElement() override;

    void draw(Canvas* canvas) override;
    Rect bounds() override;

    ResourceEntry* resource = nullptr;                // borrowed
    BitmapDescription* resourceDescription = nullptr; // the archive's record, borrowed
    BitmapDescription description;                    // follows the conversions
    Bitmap* bitmap = nullptr;                         // owned

protected:
    // Converts once to "-rrrrrgggggbbbbb" at 16 bits; a refusal keeps the description.
    void convertToScreenFormat();
    // Brings the pixels to the canvas's format. The description takes the canvas's format
    // even when the bitmap refuses, so a refusal is not asked again at every frame.
    void matchCanvasFormat(const Canvas* canvas);
};

} // namespace qx
