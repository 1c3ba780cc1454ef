#include "media/Typeface.h"

namespace qxhost {

namespace {

std::int32_t roundedPixels(FT_Pos value) { return static_cast<std::int32_t>((value + 32) >> 6); }

} // namespace

Typeface::Typeface(Host& host, FT_Library library, const std::string& regularPath,
                   const std::string& boldPath)
    : host_(host), library_(library) {
    regular_ = open(regularPath);
    bold_ = boldPath.empty() || boldPath == regularPath ? nullptr : open(boldPath);
}

Typeface::~Typeface() {
    if (bold_ != nullptr) {
        FT_Done_Face(bold_);
    }
    if (regular_ != nullptr) {
        FT_Done_Face(regular_);
    }
}

FT_Face Typeface::open(const std::string& path) {
    if (library_ == nullptr) {
        return nullptr;
    }
    FT_Face face = nullptr;
    const FT_Error error = FT_New_Face(library_, path.c_str(), 0, &face);
    if (error != 0) {
        host_.report(qx::kLogError, "fonts: cannot open %s (FreeType error %d)", path.c_str(),
                     static_cast<int>(error));
        return nullptr;
    }
    return face;
}

FT_Face Typeface::faceFor(std::int32_t style) const {
    return style == 1 && bold_ != nullptr ? bold_ : regular_;
}

LineMetrics Typeface::metrics(std::int32_t pixelSize, std::int32_t style) {
    const std::uint64_t key = keyOf(0, pixelSize, style);
    if (auto found = metrics_.find(key); found != metrics_.end()) {
        return found->second;
    }
    LineMetrics line{pixelSize, pixelSize};
    FT_Face face = faceFor(style);
    if (face != nullptr && FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) == 0) {
        line.ascender = roundedPixels(face->size->metrics.ascender);
        line.height = roundedPixels(face->size->metrics.height);
    }
    metrics_.emplace(key, line);
    return line;
}

void Typeface::startOver() {
    glyphs_.clear();
    ++generation_;
    pagesUsed_ = 0;
    nextReused_ = 0;
    lastPage_ = nullptr;
}

const Glyph* Typeface::findGlyph(char32_t character, std::int32_t pixelSize, std::int32_t style) {
    if (character >= 128) {
        return lookUp(character, pixelSize, style);
    }
    AsciiPage& page = pageFor(pixelSize, style);
    if (const Glyph* known = page.glyphs[character]) {
        return known;
    }
    // Characters that cannot be rendered stay null here and are asked for again.
    page.glyphs[character] = lookUp(character, pixelSize, style);
    return page.glyphs[character];
}

Typeface::AsciiPage& Typeface::pageFor(std::int32_t pixelSize, std::int32_t style) {
    const std::uint64_t key = keyOf(0, pixelSize, style);
    if (lastPage_ != nullptr && lastPage_->key == key) {
        return *lastPage_;
    }
    for (std::size_t i = 0; i < pagesUsed_; ++i) {
        if (pages_[i].key == key) {
            lastPage_ = &pages_[i];
            return *lastPage_;
        }
    }
    if (pagesUsed_ < kPages) {
        lastPage_ = &pages_[pagesUsed_++];
    } else {
        lastPage_ = &pages_[nextReused_];
        nextReused_ = (nextReused_ + 1) % kPages;
    }
    lastPage_->key = key;
    lastPage_->glyphs.fill(nullptr);
    return *lastPage_;
}

const Glyph* Typeface::lookUp(char32_t character, std::int32_t pixelSize, std::int32_t style) {
    const std::uint64_t key = keyOf(character, pixelSize, style);
    if (auto found = glyphs_.find(key); found != glyphs_.end()) {
        return &found->second;
    }
    FT_Face face = faceFor(style);
    if (face == nullptr || FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) != 0 ||
        FT_Load_Char(face, character, FT_LOAD_RENDER) != 0) {
        return nullptr;
    }
    ++rasterisations_;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    Glyph glyph;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.advance = roundedPixels(slot->advance.x);
    if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY && bitmap.buffer != nullptr) {
        glyph.width = static_cast<std::int32_t>(bitmap.width);
        glyph.rows = static_cast<std::int32_t>(bitmap.rows);
        glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * glyph.rows);
        for (std::int32_t row = 0; row < glyph.rows; ++row) {
            const unsigned char* line = bitmap.buffer + std::ptrdiff_t{row} * bitmap.pitch;
            std::copy(line, line + glyph.width,
                      glyph.coverage.begin() + std::ptrdiff_t{row} * glyph.width);
        }
    }
    return &glyphs_.emplace(key, std::move(glyph)).first->second;
}

} // namespace qxhost
