#include "visual/AlphaImage.h"

#include <algorithm>
#include <cstring>

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

// Pictures with alpha are mostly fully transparent or fully opaque, so the alpha is read
// eight bytes at a time: a block of zeros is skipped, and a block of 255s is copied when
// the tables say that alpha 255 copies. Everything else goes through the tables.
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
            blendRows<true>(blendTables, span);
        } else {
            blendRows<false>(blendTables, span);
        }
    }
    if (colour != nullptr) {
        bitmap->unlockRows(colour);
    }
    alphaBitmap->unlockRows(alpha);
    canvas->unlockRows(screen);
}

} // namespace qx
