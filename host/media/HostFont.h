// A font as scenes use it: the qx::Font record with its renderer, styler and two scales.
// Text is measured and drawn at the base pixel size times both scales; style 1
// (highlighted) draws bold, any other style regular.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "media/PixelLayout.h"
#include "media/Typeface.h"
#include "qx/canvas.h"
#include "runtime/Host.h"

namespace qxhost {

class HostFont final : public qx::ITextRenderer, public qx::IFontStyler {
public:
    HostFont(Host& host, Typeface& typeface, std::int32_t pixelSize);
    HostFont(const HostFont&) = delete;
    HostFont& operator=(const HostFont&) = delete;
    ~HostFont() = default;

    void unused1() override {}
    // The widest line's width in pixels.
    std::int32_t measure(const char* text) override;
    // Blends the line's glyphs in the canvas's colour into its surface, from the top-left
    // corner (x, y) plus the canvas origin, inside the canvas clip.
    void draw(qx::Canvas* canvas, std::int32_t x, std::int32_t y, const char* text) override;
    // Answers the previous style.
    std::int32_t setStyle(std::int32_t style) override;

    qx::Font* record() { return &record_; }
    qx::InterfaceTable* table() { return &table_; }
    // The pixel size that the scales give now.
    std::int32_t pixelSize() const;

    // A canvas format read once for all the texts drawn in it.
    struct InkLayout {
        bool ready = false;
        std::uint32_t format = 0;
        std::int32_t bitsPerPixel = 0;
        std::optional<PixelLayout> layout;
        PixelLayout::ChannelCodec red, green, blue, alpha;
    };

    struct PlacedGlyph {
        const Glyph* glyph;
        std::int32_t x; // first column, surface coordinates
        std::int32_t y; // first row, surface coordinates
    };

private:
    const InkLayout& inkLayoutFor(std::uint32_t format, std::int32_t bitsPerPixel);

    class Scale final : public qx::IFontScale {
    public:
        void set(double scale) override { value = scale; }
        double get() override { return value; }
        double value = 1.0;
    };

    qx::InterfaceTable table_;
    Host& host_;
    Typeface& typeface_;
    std::int32_t baseSize_;
    std::int32_t style_ = 0;
    Scale primary_;
    Scale secondary_;
    qx::Font record_{};
    InkLayout ink_;
    std::vector<PlacedGlyph> placed_;
};

} // namespace qxhost
