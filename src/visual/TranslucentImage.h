#pragma once

#include "visual/ImageElement.h"
#include "visual/MixTables.h"

namespace qx {

// A picture drawn see-through: at opacity 1.0 exactly it is a plain image, below 0.0001 it
// is not drawn, in between each pixel is mixed with the screen through MixTables.
class TranslucentImage : public ImageElement {
public:
    TranslucentImage(std::int32_t x, std::int32_t y, ResourceEntry* resource);

    void setOpacity(double opacity);
    void draw(Canvas* canvas) override;

    MixTables mixTables;
    std::int32_t opaque = 1;
    std::int32_t invisible = 0;

private:
    void drawMixed(Canvas* canvas);
};

} // namespace qx
