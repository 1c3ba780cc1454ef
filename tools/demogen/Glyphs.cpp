#include "demogen/Glyphs.h"

#include <algorithm>
#include <climits>
#include <stdexcept>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace demogen {

struct Glyphs::Library {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

Glyphs::Glyphs(const std::string& fontPath) : library_(new Library) {
    if (FT_Init_FreeType(&library_->library) != 0) {
        delete library_;
        throw std::runtime_error("cannot start FreeType");
    }
    if (FT_New_Face(library_->library, fontPath.c_str(), 0, &library_->face) != 0) {
        FT_Done_FreeType(library_->library);
        delete library_;
        throw std::runtime_error(fontPath + ": cannot load the font");
    }
}

Glyphs::~Glyphs() {
    FT_Done_Face(library_->face);
    FT_Done_FreeType(library_->library);
    delete library_;
}

Mask Glyphs::render(const std::string& text, int pixelHeight) const {
    FT_Face face = library_->face;
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelHeight)) != 0)
        throw std::runtime_error("cannot size the font");

    struct Placed {
        int left, top, width, rows, pitch;
        std::vector<unsigned char> pixels;
    };
    std::vector<Placed> placed;
    int penX = 0;
    int minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
    FT_UInt previous = 0;
    for (unsigned char ch : text) {
        const FT_UInt index = FT_Get_Char_Index(face, ch);
        if (previous != 0 && FT_HAS_KERNING(face)) {
            FT_Vector kern;
            FT_Get_Kerning(face, previous, index, FT_KERNING_DEFAULT, &kern);
            penX += static_cast<int>(kern.x >> 6);
        }
        if (FT_Load_Glyph(face, index, FT_LOAD_RENDER) != 0)
            throw std::runtime_error(std::string("cannot render the glyph '") +
                                     static_cast<char>(ch) + "'");
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        Placed p{penX + slot->bitmap_left,      -slot->bitmap_top, static_cast<int>(bitmap.width),
                 static_cast<int>(bitmap.rows), bitmap.pitch,      {}};
        p.pixels.assign(bitmap.buffer,
                        bitmap.buffer + static_cast<std::size_t>(std::abs(bitmap.pitch)) *
                                            static_cast<std::size_t>(bitmap.rows));
        if (p.width > 0 && p.rows > 0) {
            minX = std::min(minX, p.left);
            minY = std::min(minY, p.top);
            maxX = std::max(maxX, p.left + p.width);
            maxY = std::max(maxY, p.top + p.rows);
        }
        placed.push_back(std::move(p));
        penX += static_cast<int>(slot->advance.x >> 6);
        previous = index;
    }

    Mask mask;
    if (minX > maxX)
        return mask;
    mask.width = maxX - minX;
    mask.height = maxY - minY;
    mask.coverage.assign(static_cast<std::size_t>(mask.width * mask.height), 0);
    for (const Placed& p : placed) {
        for (int row = 0; row < p.rows; ++row) {
            for (int col = 0; col < p.width; ++col) {
                const unsigned char c = p.pixels[static_cast<std::size_t>(row * p.pitch + col)];
                unsigned char& out = mask.coverage[static_cast<std::size_t>(
                    (p.top - minY + row) * mask.width + (p.left - minX + col))];
                out = std::max(out, c);
            }
        }
    }
    return mask;
}

} // namespace demogen
