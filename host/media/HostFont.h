// A font as scenes use it: the qx::Font record with its renderer, styler and two scales.
// Text is measured and drawn at the base pixel size times both scales; style 1
// (highlighted) draws bold, any other style regular.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "media/GlyphInk.h"
#include "media/Typeface.h"
#include "qx/canvas.h"
#include "runtime/Host.h"

namespace qxhost {

// One line of text as a scene drew it: where (surface coordinates) and inside which clip.
struct TextDraw {
    std::string text;
    qx::Point at;
    qx::Rect clip;
};

// What the fonts of one font system do with the lines they are given: paint them, and keep
// a list of them for a caller that checks where texts went rather than pixels.
struct TextOutput {
    bool paint = true;
    bool record = false;
    std::vector<TextDraw> drawn;
};

class HostFont final : public qx::ITextRenderer, public qx::IFontStyler {
public:
    HostFont(Host& host, Typeface& typeface, std::int32_t pixelSize, TextOutput* output = nullptr);
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
    // How many bytes of long texts are kept laid out (64 MB unless set); with 0, a long text
    // is laid out afresh at every call.
    void keepLongTexts(std::size_t bytes) {
        longRunBudget_ = bytes;
        longRuns_.clear();
        longRunBytes_ = 0;
    }
    qx::InterfaceTable* table() { return &table_; }
    // The pixel size that the scales give now.
    std::int32_t pixelSize() const { return sizeKnown() ? sized_ : resize(); }

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
    // Longer texts are kept as long runs (below): their glyphs would cost more than they save.
    static constexpr std::size_t kLongestKeptText = 256;
    static constexpr std::size_t kKeptRuns = 1024;
    // A text longer than that, kept whole: its bytes, width, the ink's box and reach, and the
    // pen every kMarkSpacing bytes. A measure is then one comparison of the bytes (the owner
    // may change a text in place, and comparing runs at memory speed), and a draw starts
    // near the area's left edge and stops at its right: no glyph of a title of megabytes is
    // looked at again but those on the screen.
    struct LongRun {
        struct Mark {
            std::size_t offset; // first byte of a character
            std::int64_t line;
            std::int64_t pen; // before that character
        };
        const char* address = nullptr;
        std::string text;
        std::int32_t size = 0;
        std::int32_t style = 0;
        std::uint64_t lastUse = 0;
        std::int32_t widest = 0;
        LineMetrics line;
        std::int64_t lines = 1;
        // No glyph moves the pen back, so within a line the marks' pens only grow.
        bool monotonic = true;
        std::int64_t inkLeft = INT64_MAX;
        std::int64_t inkTop = INT64_MAX;
        std::int64_t inkRight = INT64_MIN;
        std::int64_t inkBottom = INT64_MIN;
        // How far a glyph inks right of its pen, above and below its baseline.
        std::int64_t reachRight = 0;
        std::int64_t reachUp = 0;
        std::int64_t reachDown = 0;
        std::vector<Mark> marks;
    };
    static constexpr std::size_t kMarkSpacing = 1024;
    static constexpr std::size_t kLongRuns = 128;
    // A scene hands over the same strings every frame, most of them to be measured or drawn
    // off the screen: what the text at an address was found to be at one size and style, in
    // one cache line, answers those calls without the run. The text is compared with what the
    // address holds now before anything of it is used.
    struct alignas(64) KnownText {
        // Texts up to this long are kept here and checked with one comparison of 16 bytes.
        static constexpr std::size_t kInlineLength = 14;
        static constexpr char kNotInline = -1;
        const char* address = nullptr;
        TextRun* run = nullptr;
        std::int32_t size = 0;
        std::int32_t style = 0;
        std::int32_t widest = 0;
        std::int32_t ascender = 0;
        // The ink's box from the pen's start on the first baseline; empty when nothing inks.
        std::int32_t inkLeft = 0;
        std::int32_t inkTop = 0;
        std::int32_t inkRight = 0;
        std::int32_t inkBottom = 0;
        // The text and its terminator, the rest zero, and its length in the last byte; or
        // kNotInline there, and the run's text is compared.
        alignas(16) char bytes[16] = {};
    };
    // Known texts are kept in the order they were first met, which is the order a scene goes
    // through them every frame, so that one frame's look-ups walk the entries in order; a
    // table of their numbers finds them. Once full, everything known is forgotten.
    static constexpr std::size_t kKnownTexts = 1024;
    static constexpr int kKnownSlotBits = 11;
    static constexpr std::size_t kKnownSlots = std::size_t{1} << kKnownSlotBits;

    // The ink for a canvas format, read once for all the texts drawn in it.
    GlyphInk& inkFor(std::uint32_t format, std::int32_t bitsPerPixel);
    // The known short text at this address and the present size and style, if there is one:
    // the look-up of most calls, kept free of calls itself.
    const KnownText* knownAtOnce(const char* text) const;
    // How far left of its pen a glyph may ink at most: beyond this, and as no glyph moves the
    // pen back, the rest of a line that has passed an area's right edge cannot show in it.
    static std::int64_t reachLeft(std::int32_t size) { return 2 * std::int64_t{size} + 2; }
    // An area's edges in 64 bits, right and bottom excluded.
    struct Edges {
        std::int64_t left, top, right, bottom;
    };
    static Edges edgesOf(const qx::Rect& area) {
        return {area.x, area.y, area.right(), area.bottom()};
    }
    // Whether no ink of a kept text drawn with the pen from (left, baseline) falls in the
    // area, as for most titles of a long bar; true too for a text without ink.
    template <typename Kept>
    static bool inkOutside(const Kept& kept, const Edges& area, std::int64_t left,
                           std::int64_t baseline) {
        return kept.inkRight <= kept.inkLeft || left + kept.inkRight <= area.left ||
               left + kept.inkLeft >= area.right || baseline + kept.inkBottom <= area.top ||
               baseline + kept.inkTop >= area.bottom;
    }
    // The known text at this address, size and style, learnt now if need be; null for a text
    // too long to keep.
    KnownText* knownText(const char* text, std::int32_t size) {
        const std::size_t slot = knownSlot(text, size);
        if (knownGeneration_ == typeface_.generation() && knownSlots_[slot] != 0) {
            KnownText& known = known_[knownSlots_[slot] - 1];
            if (std::strcmp(known.bytes[15] != KnownText::kNotInline ? known.bytes
                                                                     : known.run->text.c_str(),
                            text) == 0) {
                return &known;
            }
        }
        return learnText(slot, text, size);
    }
    // Whether the entry is of the text at this address, size and present style.
    bool isKnownAs(const KnownText& known, const char* text, std::int32_t size) const {
        return known.address == text && known.size == size && known.style == style_;
    }
    // The slot of the table that holds, or is to hold, the number of the text known at this
    // address, size and style: the first from the hashed one on that is that text's or empty.
    std::size_t knownSlot(const char* text, std::int32_t size) const {
        const std::uint64_t key = reinterpret_cast<std::uintptr_t>(text) ^
                                  std::uint64_t(std::uint32_t(size)) << 40 ^
                                  std::uint64_t(std::uint32_t(style_)) << 48;
        std::size_t slot = (key * 0x9E3779B97F4A7C15ull) >> (64 - kKnownSlotBits);
        for (;;) {
            const std::uint16_t number = knownSlots_[slot];
            if (number == 0) {
                return slot;
            }
            if (isKnownAs(known_[number - 1], text, size)) {
                return slot;
            }
            slot = (slot + 1) % kKnownSlots;
        }
    }
    // Finds or lays out the run of a text not known at its address, and keeps what it is in
    // the slot's entry.
    KnownText* learnText(std::size_t slot, const char* text, std::int32_t size);
    // The run of the text, laid out now if need be; null for a text too long to keep.
    TextRun* runFor(const char* text, std::int32_t size);
    // Scales change only while text is animated; the rounding is kept for the rest.
    bool sizeKnown() const {
        // Compared as bits: one test, and a NaN scale is as known as any other.
        return ((std::bit_cast<std::uint64_t>(primary_.value) ^ sizedPrimary_) |
                (std::bit_cast<std::uint64_t>(secondary_.value) ^ sizedSecondary_)) == 0;
    }
    // Kept out of the look-up's way, which is most calls.
    [[gnu::noinline]] std::int32_t measureSlowly(const char* text);
    // Keeps the line for the output's list when it records; answers whether it is painted.
    [[gnu::noinline]] bool recordDraw(const qx::Canvas& canvas, std::int32_t x, std::int32_t y,
                                      const char* text);
    [[gnu::noinline]] void drawSlowly(qx::Canvas* canvas, std::int32_t x, std::int32_t y,
                                      const char* text);
    [[gnu::noinline]] std::int32_t measureAfresh(const char* text, std::int32_t size);
    // The long text's run at the current size and style, laid out now if need be; null for a
    // text beyond what is kept.
    const LongRun* longRunFor(const char* text, std::int32_t size);
    void layOut(LongRun& run);
    // Adds a glyph that can show in `area` to placed_, widening [top, bottom) to its rows.
    void keep(const Glyph* glyph, std::int64_t gx, std::int64_t gy, const qx::Rect& area,
              std::int64_t& top, std::int64_t& bottom);
    // Fills placed_ with the glyphs of a long run's lines that can show in `area`.
    void placeLong(const LongRun& run, std::int64_t left, std::int64_t base, const qx::Rect& area,
                   std::int64_t& top, std::int64_t& bottom);
    [[gnu::noinline]] std::int32_t resize() const;
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
    TextOutput* output_;
    std::int32_t baseSize_;
    std::int32_t style_ = 0;
    Scale primary_;
    Scale secondary_;
    qx::Font record_{};
    GlyphInk ink_;
    bool inkReady_ = false;
    std::uint32_t inkFormat_ = 0;
    std::int32_t inkBits_ = 0;
    std::vector<PlacedGlyph> placed_;
    std::vector<TextRun> runs_;
    std::vector<LongRun> longRuns_;
    std::size_t longRunBytes_ = 0;
    std::size_t longRunBudget_ = std::size_t{64} << 20;
    std::unique_ptr<KnownText[]> known_;
    std::size_t knownCount_ = 0;
    std::unique_ptr<std::uint16_t[]> knownSlots_; // 0: empty; otherwise 1 + an entry's index
    mutable std::size_t lastKnown_ = 0;           // the entry found last
    std::uint64_t knownGeneration_ = 0;           // the typeface's, when known_ was filled
    std::uint64_t uses_ = 0;
    // The last scales and the pixel size they give.
    mutable std::uint64_t sizedPrimary_ = 0;
    mutable std::uint64_t sizedSecondary_ = 0;
    mutable std::int32_t sized_ = 0;
};

} // namespace qxhost
