#pragma once

#include "visual/ImageElement.h"

namespace qx {

// A picture that is a vertical strip of equal frames, showing one of them.
class FrameStripImage : public ImageElement {
public:
    explicit FrameStripImage(ResourceEntry* resource);

    void setFrame(std::int32_t n) { frameIndex = n; }
    void draw(Canvas* canvas) override;
    Rect bounds() override;

    std::int32_t frameIndex = 0; // counted from the top of the strip

private:
    std::int32_t frameHeight() const;
};

} // namespace qx
