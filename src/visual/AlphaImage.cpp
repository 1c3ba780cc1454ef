#include "visual/AlphaImage.h"

#include <algorithm>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <new>

#include "module/HostServices.h"

namespace qx {

namespace {

// Rows of one blend: each pointer is at the first pixel used in its first row.
struct BlendSpan {
    std::uint8_t* screen;
    std::int32_t screenPitch;
    const std::uint8_t* alpha;
    std::int32_t alphaPitch;
    const std::uint8_t* colour;
    std::int32_t colourPitch;
    std::int32_t width;
    std::int32_t height;
};

// kColour: blend the colour part by its alpha; otherwise blend white by the mask.
template <bool kColour>
std::uint16_t blendPixel(const BlendTables& t, unsigned alpha, unsigned sp, unsigned dp) {
    unsigned sr = 31;
    unsigned sg = 31;
    unsigned sb = 31;
    if constexpr (kColour) {
        sr = (sp >> 10) & 31u;
        sg = (sp >> 5) & 31u;
        sb = sp & 31u;
    }
    const unsigned dr = (dp >> 10) & 31u;
    const unsigned dg = (dp >> 5) & 31u;
    const unsigned db = dp & 31u;
    if (t.compact) {
        const BlendTables::AlphaRow& row = t.rows[alpha];
        return static_cast<std::uint16_t>(((row.source[sg] + row.destination[dg]) << 5) |
                                          ((row.source[sr] + row.destination[dr]) << 10) |
                                          (row.source[sb] + row.destination[db]));
    }
    return static_cast<std::uint16_t>(
        (t.srcGreen[sg * 256 + alpha] + t.dstGreen[dg * 256 + alpha]) |
        (t.srcRed[sr * 256 + alpha] + t.dstRed[dr * 256 + alpha]) |
        (t.srcBlue[sb * 256 + alpha] + t.dstBlue[db * 256 + alpha]));
}

#if defined(__SSE2__)
// Eight pixels of a block with mixed alpha, worked out rather than looked up, for tables
// with a linear form: v = ((c * a + bias) * multiplier) >> 16 in 16-bit lanes gives each
// table entry exactly. Pixels of alpha 0 keep every bit, as the per-pixel path leaves them.
template <bool kColour>
void blendEight(const BlendTables& t, const std::uint8_t* a, const std::uint16_t* s,
                std::uint16_t* d) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i low5 = _mm_set1_epi16(31);
    const __m128i multiplier = _mm_set1_epi16(static_cast<std::int16_t>(t.linearMultiplier));
    const __m128i bias = _mm_set1_epi16(static_cast<std::int16_t>(t.linearBias));
    const __m128i alpha =
        _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(a)), zero);
    const auto part = [&](__m128i c) {
        return _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(c, alpha), bias), multiplier);
    };
    const __m128i dp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
    const __m128i dr = _mm_and_si128(_mm_srli_epi16(dp, 10), low5);
    const __m128i dg = _mm_and_si128(_mm_srli_epi16(dp, 5), low5);
    const __m128i db = _mm_and_si128(dp, low5);
    __m128i sr = low5;
    __m128i sg = low5;
    __m128i sb = low5;
    if constexpr (kColour) {
        const __m128i sp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        sr = _mm_and_si128(_mm_srli_epi16(sp, 10), low5);
        sg = _mm_and_si128(_mm_srli_epi16(sp, 5), low5);
        sb = _mm_and_si128(sp, low5);
    }
    const __m128i red = _mm_sub_epi16(_mm_add_epi16(part(sr), dr), part(dr));
    const __m128i green = _mm_sub_epi16(_mm_add_epi16(part(sg), dg), part(dg));
    const __m128i blue = _mm_sub_epi16(_mm_add_epi16(part(sb), db), part(db));
    const __m128i blended =
        _mm_or_si128(_mm_or_si128(_mm_slli_epi16(red, 10), _mm_slli_epi16(green, 5)), blue);
    const __m128i keep = _mm_cmpeq_epi16(alpha, zero);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d),
                     _mm_or_si128(_mm_and_si128(keep, dp), _mm_andnot_si128(keep, blended)));
}
#endif

// Pictures with alpha are mostly fully transparent or fully opaque, so the alpha is read
// eight bytes at a time: a block of zeros is skipped, and a block of 255s is copied when
// the tables say that alpha 255 copies. Other blocks are worked out eight pixels at once
// where the tables have a linear form, and otherwise go through the tables.
template <bool kColour> void blendRows(const BlendTables& t, const BlendSpan& span) {
    constexpr std::uint64_t kOpaque = ~std::uint64_t{0};
    const std::uint16_t whiteAtFull = blendPixel<false>(t, 255, 0, 0);
    for (std::int32_t row = 0; row < span.height; ++row) {
        auto* d = reinterpret_cast<std::uint16_t*>(span.screen + row * span.screenPitch);
        const std::uint8_t* a = span.alpha + row * span.alphaPitch;
        const std::uint16_t* s = nullptr;
        if constexpr (kColour) {
            s = reinterpret_cast<const std::uint16_t*>(span.colour + row * span.colourPitch);
        }
        std::int32_t i = 0;
        while (i < span.width) {
            const std::int32_t end = std::min(i + 8, span.width);
            if (end - i == 8) {
                std::uint64_t block = 0;
                std::memcpy(&block, a + i, 8);
                if (block == 0) {
                    i = end;
                    continue;
                }
                if (block == kOpaque && t.fullAlphaCopies) {
                    for (; i < end; ++i) {
                        if constexpr (kColour) {
                            d[i] = static_cast<std::uint16_t>(s[i] & 0x7FFFu);
                        } else {
                            d[i] = whiteAtFull;
                        }
                    }
                    continue;
                }
#if defined(__SSE2__)
                if (t.linear) {
                    blendEight<kColour>(t, a + i, kColour ? s + i : nullptr, d + i);
                    i = end;
                    continue;
                }
#endif
            }
            for (; i < end; ++i) {
                const unsigned alpha = a[i];
                if (alpha != 0) {
                    d[i] = blendPixel<kColour>(t, alpha, kColour ? s[i] : 0u, d[i]);
                }
            }
        }
    }
}

} // namespace

AlphaImage::AlphaImage(ResourceEntry* resource) : ImageElement(resource) {
    // A 32-bit picture is still 32-bit here only because its conversion was refused.
    hasAlpha = description.bitsPerPixel == 32 ? 1 : 0;
    if (hasAlpha == 0) {
        alphaBitmap = bitmap;
        return;
    }
    BitmapDescription colourPart = description;
    colourPart.bitsPerPixel = 24;
    colourPart.format = atomOf("rrrrrrrrggggggggbbbbbbbb");
    BitmapDescription alphaPart = description;
    alphaPart.bitsPerPixel = 8;
    alphaPart.format = atomOf("aaaaaaaa");
    colourBitmap = new Bitmap(&colourPart);
    alphaBitmap = new Bitmap(&alphaPart);
    splitChannels();
    delete bitmap;
    bitmap = colourBitmap;
    convertToScreenFormat();
}

AlphaImage::~AlphaImage() {
    delete spare_;
    if (hasAlpha == 1) {
        delete alphaBitmap;
    }
}

void AlphaImage::splitChannels() {
    const std::int32_t last = description.height - 1;
    RowBlock* picture = bitmap->lockRows(0, last);
    RowBlock* colour = picture != nullptr ? colourBitmap->lockRows(0, last) : nullptr;
    RowBlock* alpha = colour != nullptr ? alphaBitmap->lockRows(0, last) : nullptr;
    if (alpha != nullptr) {
        for (std::int32_t row = 0; row < description.height; ++row) {
            const std::uint8_t* from = picture->address + row * picture->pitch;
            std::uint8_t* toColour = colour->address + row * colour->pitch;
            std::uint8_t* toAlpha = alpha->address + row * alpha->pitch;
            for (std::int32_t x = 0; x < description.width; ++x, from += 4, toColour += 3) {
                std::memcpy(toColour, from, 3);
                toAlpha[x] = from[3];
            }
        }
    }
    alphaBitmap->unlockRows(alpha);
    colourBitmap->unlockRows(colour);
    bitmap->unlockRows(picture);
}

void AlphaImage::setOpacity(double opacity) {
    if (opacity == active_->opacity) {
        return;
    }
    BlendTables* other = active_ == &blendTables ? spare_ : &blendTables;
    if (other != nullptr && other->opacity == opacity) {
        active_ = other;
        return;
    }
    if (!changed_) {
        // One change, as most images have: no second set of tables yet.
        changed_ = true;
        active_->build(opacity);
        return;
    }
    if (other == nullptr) {
        spare_ = new (std::nothrow) BlendTables(opacity);
        if (spare_ == nullptr) {
            active_->build(opacity);
            return;
        }
        other = spare_;
    } else {
        other->build(opacity);
    }
    active_ = other;
}

void AlphaImage::draw(Canvas* canvas) {
    if (canvas == nullptr) {
        return;
    }
    const Rect placed(canvas->origin.x + position.x, canvas->origin.y + position.y,
                      description.width, description.height);
    const Rect visible = placed.intersect(canvas->clip);
    if (visible.isEmpty()) {
        return;
    }
    const std::int32_t sx = visible.x - placed.x;
    const std::int32_t sy = visible.y - placed.y;
    const std::int32_t lastRow = sy + visible.height - 1;

    RowBlock* screen = canvas->lockRows(position.y + sy, position.y + lastRow);
    RowBlock* alpha = alphaBitmap->lockRows(sy, lastRow);
    RowBlock* colour = hasAlpha == 1 ? bitmap->lockRows(sy, lastRow) : nullptr;
    if (screen != nullptr && screen->bitsPerPixel >= 16 && alpha != nullptr &&
        (hasAlpha == 0 || colour != nullptr)) {
        BlendSpan span{screen->address + (position.x + sx) * 2,
                       screen->pitch,
                       alpha->address + sx,
                       alpha->pitch,
                       colour != nullptr ? colour->address + sx * 2 : nullptr,
                       colour != nullptr ? colour->pitch : 0,
                       visible.width,
                       visible.height};
        if (hasAlpha == 1) {
            blendRows<true>(*active_, span);
        } else {
            blendRows<false>(*active_, span);
        }
    }
    if (colour != nullptr) {
        bitmap->unlockRows(colour);
    }
    alphaBitmap->unlockRows(alpha);
    canvas->unlockRows(screen);
}

} // namespace qx
