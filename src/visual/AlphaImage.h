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
    AlphaImage(const AlphaImage&) = delete;
    AlphaImage& operator=(const AlphaImage&) = delete;
    ~AlphaImage() override;

    // Doors share one question mark and set its opacity before each draw: mostly to the value
    // the tables already have, and while the pointer is over a door, alternately to two
    // values. So the tables of the previous opacity are kept too, once a second change shows
    // that they are needed, and a switch back between the two rebuilds nothing.
    void setOpacity(double opacity);
    void draw(Canvas* canvas) override;

    BlendTables blendTables;
    Bitmap* alphaBitmap = nullptr;  // owned only when hasAlpha is 1
    Bitmap* colourBitmap = nullptr; // the image's bitmap after a split, else null
    std::int32_t hasAlpha = 0;

private:
    void splitChannels();
    void clearUnusedBit();
    void blendOnto(Canvas& canvas);

    BlendTables* active_ = &blendTables;
    BlendTables* spare_ = nullptr; // owned; made at the second change of opacity
    bool changed_ = false;
    bool colourCopies_ = false; // the colour pixels' bit 15 is clear
};

} // namespace qx
