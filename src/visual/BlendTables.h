#pragma once

#include <cstdint>

namespace qx {

// Per-channel blending of 5-bit channels by an 8-bit alpha at a global opacity, indexed by
// c * 256 + a. With v = c * a * opacity / 255 truncated, the source tables hold v and the
// destination tables c - v, each already shifted to its channel's place in a 16-bit pixel.
struct BlendTables {
    static constexpr int kEntries = 32 * 256;

    explicit BlendTables(double initialOpacity = 1.0) { build(initialOpacity); }
    void build(double newOpacity);
    void findLinearForm(const std::int32_t* v);
    void findRowForms();

    static constexpr int index(unsigned channel, unsigned alpha) {
        return static_cast<int>(channel * 256 + alpha);
    }

    double opacity = 1.0;
    std::uint16_t srcRed[kEntries];
    std::uint16_t srcGreen[kEntries];
    std::uint16_t srcBlue[kEntries];
    std::uint16_t dstRed[kEntries];
    std::uint16_t dstGreen[kEntries];
    std::uint16_t dstBlue[kEntries];
    // Alpha 255 gives the source pixel and drops the destination, in every channel: the
    // draw then copies whole opaque stretches instead of looking each pixel up.
    bool fullAlphaCopies = false;

    // The same blend kept per alpha: v and c - v for the 32 channel values side by side, so
    // that a pixel's six look-ups fall within 64 bytes instead of six tables. Used when every
    // v and c - v lies within 0 to 63 (opacities 0 to 1), where it gives each result exactly
    // as the six tables do.
    struct AlphaRow {
        std::uint8_t source[32];
        std::uint8_t destination[32];
    };
    AlphaRow rows[256];
    bool compact = false;

    // When every v is ((c * a + linearBias) * linearMultiplier) >> 16, as at opacity 1.0,
    // the draw works out eight pixels at a time in vector registers instead of looking
    // each one up.
    bool linear = false;
    std::uint16_t linearMultiplier = 0;
    std::uint16_t linearBias = 0;

    // Per alpha, v = (c * multiplier + bias) >> kRowShift for all 32 channel values, in 16-bit
    // arithmetic: such a form exists for almost every row at almost every opacity, where no
    // single form fits all alphas. Each word is multiplier | bias << 16; a row without a form
    // has kNoRowForm set in its bias and is looked up in the tables.
    static constexpr int kRowShift = 11;
    static constexpr std::uint32_t kNoRowForm = 0x80000000u;
    std::uint32_t rowForms[256];
    bool allRowForms = false;

    // Every entry gives the destination channel back (opacity 0, or one too small to move a
    // unit): a draw would leave every pixel of the screen format as it was.
    bool identity = false;
};

} // namespace qx
