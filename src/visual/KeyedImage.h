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

} // namespace qx
