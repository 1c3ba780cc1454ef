// Glyph coverage blended in one ink colour into pixel rows of one layout: each 8-bit channel
// becomes (under x (255 - c) + ink x c + 127) / 255 for coverage c, narrowed back to the
// channel's bits. The bits of other channels are dropped, except alpha, which is kept.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "media/PixelLayout.h"

namespace qxhost {

class GlyphInk {
public:
    // For pixels of `layout`; none (nothing is drawn) when the layout has no colour.
    void setLayout(const std::optional<PixelLayout>& layout);
    bool drawable() const { return layout_.has_value() && layout_->hasColour(); }
    void setColour(Rgba colour);
    // Blends `rows` rows of coverage[from] to coverage[to - 1] into the pixels from..to - 1
    // of each row, the rows `coveragePitch` and `pitch` bytes apart.
    void blendBox(const std::uint8_t* coverage, std::ptrdiff_t coveragePitch, std::uint8_t* row,
                  std::ptrdiff_t pitch, std::int32_t from, std::int32_t to, std::int32_t rows);

private:
    // Every result for one ink component and one channel width, indexed by coverage x
    // 2^width + the raw channel value: a title's pixels are looked up instead of worked out.
    struct Mix {
        std::uint8_t ink = 0;
        std::int32_t width = 0; // 0: not built
        std::vector<std::uint8_t> results;
    };
    static constexpr std::size_t kMixes = 6;

    const std::uint8_t* mixFor(std::uint8_t ink, const PixelLayout::ChannelCodec& codec);
    // Eight screen pixels at a time, for boxes at least eight wide.
    void blendEights(const std::uint8_t* coverage, std::ptrdiff_t coveragePitch, std::uint8_t* row,
                     std::ptrdiff_t pitch, std::int32_t from, std::int32_t to,
                     std::int32_t rows) const;
    void blendLooked(const std::uint8_t* coverage, std::uint8_t* row, std::int32_t from,
                     std::int32_t to) const;
    void blendWorked(const std::uint8_t* coverage, std::uint8_t* row, std::int32_t from,
                     std::int32_t to) const;

    std::optional<PixelLayout> layout_;
    PixelLayout::ChannelCodec red_, green_, blue_, alpha_;
    bool looked_ = false; // 16-bit pixels with five bits of red, green and blue, as the screen
    Rgba colour_;
    bool mixesReady_ = false;
    const std::uint8_t* redMix_ = nullptr;
    const std::uint8_t* greenMix_ = nullptr;
    const std::uint8_t* blueMix_ = nullptr;
    std::array<Mix, kMixes> mixes_;
    std::size_t nextMix_ = 0;
};

} // namespace qxhost
