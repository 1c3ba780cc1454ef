// Text set with FreeType into coverage masks (door numbers, the play label, the question mark).
#pragma once

#include <string>

#include "demogen/Raster.h"

namespace demogen {

class Glyphs {
public:
    // Throws std::runtime_error naming the font file when it cannot be loaded.
    explicit Glyphs(const std::string& fontPath);
    ~Glyphs();
    Glyphs(const Glyphs&) = delete;
    Glyphs& operator=(const Glyphs&) = delete;

    // The ink of an ASCII string at the given pixel height, cropped to its bounding box.
    Mask render(const std::string& text, int pixelHeight) const;

private:
    struct Library;
    Library* library_;
};

} // namespace demogen
