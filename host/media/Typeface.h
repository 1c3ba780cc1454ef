// One TrueType family as FreeType faces (regular, and bold for the highlighted style), with
// the cache of rendered glyphs that every font of the family shares. A glyph is rendered
// once per (character, pixel size, style); drawing the same text again only reads the cache.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "runtime/Host.h"

namespace qxhost {

struct Glyph {
    std::int32_t left = 0; // from the pen position to the first column
    std::int32_t top = 0;  // from the baseline up to the first row
    std::int32_t width = 0;
    std::int32_t rows = 0;
    std::int32_t advance = 0;           // pixels to the next pen position
    std::vector<std::uint8_t> coverage; // rows x width, 0 to 255
};

struct LineMetrics {
    std::int32_t ascender = 0; // baseline below the top of the line
    std::int32_t height = 0;   // line height in pixels
};

class Typeface {
public:
    Typeface(Host& host, FT_Library library, const std::string& regularPath,
             const std::string& boldPath);
    Typeface(const Typeface&) = delete;
    Typeface& operator=(const Typeface&) = delete;
    ~Typeface();

    bool usable() const { return regular_ != nullptr; }
    // Style 1 is bold; every other style regular. Null when the character cannot be
    // rendered. The glyph stays valid until the next trim.
    const Glyph* glyph(char32_t character, std::int32_t pixelSize, std::int32_t style) {
        // The common case, an ASCII glyph of the size and style asked for last, is an index.
        if (character < 128 && lastPage_ != nullptr &&
            lastPage_->key == keyOf(0, pixelSize, style)) {
            if (const Glyph* known = lastPage_->glyphs[character]) {
                return known;
            }
        }
        return findGlyph(character, pixelSize, style);
    }
    LineMetrics metrics(std::int32_t pixelSize, std::int32_t style);
    // Empties the cache once it holds kCacheLimit glyphs; called between texts, never while
    // glyphs of one text are in use.
    void trim() {
        if (glyphs_.size() >= kCacheLimit) {
            startOver();
        }
    }

    // Changes whenever trim empties the cache, so that whoever keeps glyph pointers knows
    // they are gone.
    std::uint64_t generation() const { return generation_; }

    std::size_t rasterisations() const { return rasterisations_; }

    // Sizes change every frame while text is animated, so the cache starts over at this
    // size rather than growing without bound.
    static constexpr std::size_t kCacheLimit = 8192;

private:
    // The ASCII glyphs of one (pixel size, style), found by index: a frame draws dozens of
    // texts at a handful of sizes, and a hash look-up per character was a real share of it.
    struct AsciiPage {
        std::uint64_t key = 0;
        std::array<const Glyph*, 128> glyphs{};
    };
    static constexpr std::size_t kPages = 16;

    static std::uint64_t keyOf(char32_t character, std::int32_t pixelSize, std::int32_t style) {
        return (std::uint64_t{character} << 32) | (std::uint64_t(pixelSize & 0xFFFF) << 8) |
               std::uint64_t(style == 1 ? 1 : 0);
    }

    void startOver();
    const Glyph* findGlyph(char32_t character, std::int32_t pixelSize, std::int32_t style);
    FT_Face open(const std::string& path);
    FT_Face faceFor(std::int32_t style) const;
    const Glyph* lookUp(char32_t character, std::int32_t pixelSize, std::int32_t style);
    AsciiPage& pageFor(std::int32_t pixelSize, std::int32_t style);

    Host& host_;
    FT_Library library_;
    FT_Face regular_ = nullptr;
    FT_Face bold_ = nullptr;
    std::unordered_map<std::uint64_t, Glyph> glyphs_;
    std::unordered_map<std::uint64_t, LineMetrics> metrics_;
    std::array<AsciiPage, kPages> pages_;
    std::size_t pagesUsed_ = 0;
    std::size_t nextReused_ = 0; // the page a new key takes once all are used
    AsciiPage* lastPage_ = nullptr;
    std::uint64_t generation_ = 0;
    std::size_t rasterisations_ = 0;
};

} // namespace qxhost
