#include "media/GlyphInk.h"

#include <bit>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qxhost {

namespace {

std::uint8_t mix(std::uint32_t under, std::uint32_t over, std::uint32_t c) {
    return static_cast<std::uint8_t>((under * (255 - c) + over * c + 127) / 255);
}

bool fiveBitsAt(const PixelLayout::ChannelCodec& codec, std::int32_t shift) {
    return codec.width == 5 && codec.shift == shift;
}

#if defined(__SSE2__)
// The mix of eight five-bit channel values, widened as the codec widens them, in 16-bit lanes:
// the sum stays below 65153, where (x + 1 + (x >> 8)) >> 8 is x / 255 exactly.
__m128i mixEight(__m128i raw, __m128i ink, __m128i c, __m128i inverse) {
    const __m128i wide = _mm_or_si128(_mm_slli_epi16(raw, 3), _mm_srli_epi16(raw, 2));
    const __m128i x =
        _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(wide, inverse), _mm_mullo_epi16(ink, c)),
                      _mm_set1_epi16(127));
    return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, _mm_set1_epi16(1)), _mm_srli_epi16(x, 8)),
                          11);
}

// Eight screen pixels under eight coverages; lanes of coverage 0 keep their pixel.
__m128i blendEight(__m128i v, __m128i c, const __m128i ink[3], __m128i kept) {
    const __m128i low5 = _mm_set1_epi16(31);
    const __m128i inverse = _mm_sub_epi16(_mm_set1_epi16(255), c);
    const __m128i r = mixEight(_mm_and_si128(_mm_srli_epi16(v, 10), low5), ink[0], c, inverse);
    const __m128i g = mixEight(_mm_and_si128(_mm_srli_epi16(v, 5), low5), ink[1], c, inverse);
    const __m128i b = mixEight(_mm_and_si128(v, low5), ink[2], c, inverse);
    const __m128i out = _mm_or_si128(_mm_or_si128(_mm_slli_epi16(r, 10), _mm_slli_epi16(g, 5)),
                                     _mm_or_si128(b, _mm_and_si128(v, kept)));
    const __m128i none = _mm_cmpeq_epi16(c, _mm_setzero_si128());
    return _mm_or_si128(_mm_and_si128(none, v), _mm_andnot_si128(none, out));
}

// Coverage px to px + 7 as 16-bit lanes, those below `skip` made 0.
__m128i coverageOf(const std::uint8_t* coverage, std::int32_t skip) {
    std::uint64_t bytes = 0;
    std::memcpy(&bytes, coverage, 8);
    bytes &= ~std::uint64_t{0} << (8 * skip);
    return _mm_unpacklo_epi8(_mm_cvtsi64_si128(static_cast<long long>(bytes)), _mm_setzero_si128());
}
#endif

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

void GlyphInk::blendBox(const std::uint8_t* coverage, std::ptrdiff_t coveragePitch,
                        std::uint8_t* row, std::ptrdiff_t pitch, std::int32_t from, std::int32_t to,
                        std::int32_t rows) {
    if (!drawable()) {
        return;
    }
    if (!looked_) {
        for (std::int32_t y = 0; y < rows; ++y) {
            blendWorked(coverage + y * coveragePitch, row + y * pitch, from, to);
        }
        return;
    }
#if defined(__SSE2__)
    if (to - from >= 8) {
        blendEights(coverage, coveragePitch, row, pitch, from, to, rows);
        return;
    }
#endif
    for (std::int32_t y = 0; y < rows; ++y) {
        blendLooked(coverage + y * coveragePitch, row + y * pitch, from, to);
    }
}

void GlyphInk::blendEights(const std::uint8_t* coverage, std::ptrdiff_t coveragePitch,
                           std::uint8_t* row, std::ptrdiff_t pitch, std::int32_t from,
                           std::int32_t to, std::int32_t rows) const {
#if defined(__SSE2__)
    const __m128i ink[3] = {_mm_set1_epi16(colour_.red), _mm_set1_epi16(colour_.green),
                            _mm_set1_epi16(colour_.blue)};
    const __m128i kept = _mm_set1_epi16(static_cast<std::int16_t>(alpha_.mask));
    const auto blend = [&](const std::uint8_t* c, std::uint8_t* p, std::int32_t skip) {
        std::uint64_t any = 0;
        std::memcpy(&any, c, 8);
        if (any >> (8 * skip) == 0) {
            return;
        }
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p),
                         blendEight(v, coverageOf(c, skip), ink, kept));
    };
    const std::int32_t whole = (to - from) / 8 * 8;
    for (std::int32_t y = 0; y < rows; ++y) {
        for (std::int32_t px = from; px < from + whole; px += 8) {
            blend(coverage + y * coveragePitch + px, row + y * pitch + std::ptrdiff_t{px} * 2, 0);
        }
    }
    // The last few pixels of each row, by eight that end at the row's end and keep those
    // already blended: after all rows, so that no row reads back its own fresh stores.
    if (from + whole == to) {
        return;
    }
    const std::int32_t last = to - 8;
    const std::int32_t skip = from + whole - last;
    for (std::int32_t y = 0; y < rows; ++y) {
        blend(coverage + y * coveragePitch + last, row + y * pitch + std::ptrdiff_t{last} * 2,
              skip);
    }
#else
    (void)coverage, (void)coveragePitch, (void)row, (void)pitch, (void)from, (void)to, (void)rows;
#endif
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
