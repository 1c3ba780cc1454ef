#include "media/GlyphInk.h"

#include <bit>
#include <cstring>

namespace qxhost {

namespace {

std::uint8_t mix(std::uint32_t under, std::uint32_t over, std::uint32_t c) {
    return static_cast<std::uint8_t>((under * (255 - c) + over * c + 127) / 255);
}

bool fiveBitsAt(const PixelLayout::ChannelCodec& codec, std::int32_t shift) {
    return codec.width == 5 && codec.shift == shift;
}

} // namespace

void GlyphInk::setLayout(const std::optional<PixelLayout>& layout) {
    layout_ = layout;
    mixesReady_ = false;
    looked_ = false;
    if (!layout_) {
        return;
    }
    red_ = layout_->codec(PixelLayout::kRed);
    green_ = layout_->codec(PixelLayout::kGreen);
    blue_ = layout_->codec(PixelLayout::kBlue);
    alpha_ = layout_->codec(PixelLayout::kAlpha);
    // Pixels are little-endian words, read here as the machine's own.
    looked_ = std::endian::native == std::endian::little && layout_->bitsPerPixel() == 16 &&
              fiveBitsAt(red_, 10) && fiveBitsAt(green_, 5) && fiveBitsAt(blue_, 0);
}

void GlyphInk::setColour(Rgba colour) {
    if (mixesReady_ && colour.red == colour_.red && colour.green == colour_.green &&
        colour.blue == colour_.blue) {
        return;
    }
    colour_ = colour;
    mixesReady_ = true;
    if (looked_) {
        redMix_ = mixFor(colour.red, red_);
        greenMix_ = mixFor(colour.green, green_);
        blueMix_ = mixFor(colour.blue, blue_);
    }
}

const std::uint8_t* GlyphInk::mixFor(std::uint8_t ink, const PixelLayout::ChannelCodec& codec) {
    for (const Mix& known : mixes_) {
        if (known.width == codec.width && known.ink == ink) {
            return known.results.data();
        }
    }
    Mix& made = mixes_[nextMix_];
    nextMix_ = (nextMix_ + 1) % kMixes;
    const std::uint32_t values = 1u << codec.width;
    made.ink = ink;
    made.width = codec.width;
    made.results.resize(256 * values);
    for (std::uint32_t c = 0; c < 256; ++c) {
        for (std::uint32_t raw = 0; raw < values; ++raw) {
            made.results[c * values + raw] =
                static_cast<std::uint8_t>(mix(codec.wide[raw], ink, c) >> (8 - codec.width));
        }
    }
    return made.results.data();
}

void GlyphInk::blendRow(const std::uint8_t* coverage, std::uint8_t* row, std::int32_t from,
                        std::int32_t to) {
    if (!drawable()) {
        return;
    }
    if (looked_) {
        blendLooked(coverage, row, from, to);
    } else {
        blendWorked(coverage, row, from, to);
    }
}

void GlyphInk::blendLooked(const std::uint8_t* coverage, std::uint8_t* row, std::int32_t from,
                           std::int32_t to) const {
    // Locals, so that the stores into the row cannot make the compiler read them again.
    const std::uint8_t* redMix = redMix_;
    const std::uint8_t* greenMix = greenMix_;
    const std::uint8_t* blueMix = blueMix_;
    const auto kept = static_cast<std::uint16_t>(alpha_.mask);
    for (std::int32_t px = from; px < to; ++px) {
        const std::uint32_t c = coverage[px];
        if (c == 0) {
            continue;
        }
        std::uint16_t value = 0;
        std::memcpy(&value, row + std::ptrdiff_t{px} * 2, 2);
        const std::uint32_t at = c << 5;
        const auto out = static_cast<std::uint16_t>(
            (value & kept) | redMix[at + ((value >> 10) & 31u)] << 10 |
            greenMix[at + ((value >> 5) & 31u)] << 5 | blueMix[at + (value & 31u)]);
        std::memcpy(row + std::ptrdiff_t{px} * 2, &out, 2);
    }
}

void GlyphInk::blendWorked(const std::uint8_t* coverage, std::uint8_t* row, std::int32_t from,
                           std::int32_t to) const {
    const PixelLayout& layout = *layout_;
    const std::int32_t step = layout.bytesPerPixel();
    const std::uint32_t full =
        red_.write(colour_.red) | green_.write(colour_.green) | blue_.write(colour_.blue);
    for (std::int32_t px = from; px < to; ++px) {
        const std::uint32_t c = coverage[px];
        if (c == 0) {
            continue;
        }
        std::uint8_t* pixel = row + std::ptrdiff_t{px} * step;
        const std::uint32_t value = layout.read(pixel);
        std::uint32_t out = value & alpha_.mask;
        if (c == 255) {
            out |= full;
        } else {
            out |= red_.write(mix(red_.read(value), colour_.red, c)) |
                   green_.write(mix(green_.read(value), colour_.green, c)) |
                   blue_.write(mix(blue_.read(value), colour_.blue, c));
        }
        layout.write(pixel, out);
    }
}

} // namespace qxhost
