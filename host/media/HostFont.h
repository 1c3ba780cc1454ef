// A font as scenes use it: the qx::Font record with its renderer, styler and two scales.
// Text is measured and drawn at the base pixel size times both scales; style 1
// (highlighted) draws bold, any other style regular.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
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
    // A text laid out at one pixel size and style: its width, line metrics and inked glyphs,
    // placed from the pen's start on the first baseline. Scenes measure and draw the same
    // titles every frame, most of them off the screen, so a draw or measure of a known text
    // is a look-up and, off the screen, one box test.
    struct TextRun {
        std::string text;
        std::int32_t size = 0;
        std::int32_t style = 0;
        std::uint64_t generation = 0; // the typeface's, when the glyphs were looked up
        bool filled = false;
        std::uint64_t lastUse = 0;
        std::int32_t widest = 0;
        LineMetrics line;
        std::vector<PlacedGlyph> glyphs;
        std::int64_t inkLeft = 0;
        std::int64_t inkTop = 0;
        std::int64_t inkRight = 0;
        std::int64_t inkBottom = 0;
    };
    // Longer texts are laid out at each call: keeping them would cost more than it saves.
    static constexpr std::size_t kLongestKeptText = 256;
    static constexpr std::size_t kKeptRuns = 1024;

    const InkLayout& inkLayoutFor(std::uint32_t format, std::int32_t bitsPerPixel);
    // The text's run at the current size and style, or null for a text too long to keep.
    const TextRun* runFor(const char* text, std::int32_t size);
    // Fills placed_ with the glyphs of `text` (laid out as `run` when it is kept) that can show
    // in `area` with the pen starting at (left, baseline); answers their rows as [top, bottom).
    void place(const char* text, const TextRun* run, std::int32_t size, const LineMetrics& line,
               std::int64_t left, std::int64_t baseline, const qx::Rect& area, std::int64_t& top,
               std::int64_t& bottom);

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
    std::vector<TextRun> runs_;
    std::uint64_t uses_ = 0;
    // The last scales and the pixel size they give.
    mutable double sizedPrimary_ = 0.0;
    mutable double sizedSecondary_ = 0.0;
    mutable std::int32_t sized_ = 0;
};

} // namespace qxhost
