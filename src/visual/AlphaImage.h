#pragma once

#include "visual/BlendTables.h"
#include "visual/ImageElement.h"

namespace qx {

// A picture with transparency, blended with the screen through BlendTables. A 32-bit
// picture is split into a 24-bit colour part and an 8-bit alpha part; an 8-bit picture is
// a mask that blends white. It writes 16-bit "-rrrrrgggggbbbbb" pixels itself.
class AlphaImage : public ImageElement {
public:
    explicit AlphaImage(ResourceEntry* resource);
    ~AlphaImage() override;

    // Doors call it before every draw, mostly with the opacity the tables already have:
    // rebuilding them would give the same entries.
    void setOpacity(double opacity) {
        if (opacity != blendTables.opacity) {
            blendTables.build(opacity);
        }
    }
    void draw(Canvas* canvas) override;

    BlendTables blendTables;
    Bitmap* alphaBitmap = nullptr;  // owned only when hasAlpha is 1
    Bitmap* colourBitmap = nullptr; // the image's bitmap after a split, else null
    std::int32_t hasAlpha = 0;

private:
    void splitChannels();
};

} // namespace qx
