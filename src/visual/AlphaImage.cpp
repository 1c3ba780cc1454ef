#include "visual/AlphaImage.h"

#include <cstring>

#include "core/Geometry.h"
#include "core/Memory.h"
#include "services/HostServices.h"
#include "visual/AlphaBlend.h"
#include "visual/DrawArea.h"

namespace qx {

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
    colourBitmap = new (fallible) Bitmap(&colourPart);
    alphaBitmap = new (fallible) Bitmap(&alphaPart);
    if (bitmap != nullptr && colourBitmap != nullptr && alphaBitmap != nullptr) {
        splitChannels();
    }
    delete bitmap;
    bitmap = colourBitmap;
    convertToScreenFormat();
    clearUnusedBit();
}

void AlphaImage::clearUnusedBit() {
    // The blend reads the five-bit channels only, so bit 15 of a colour pixel never shows;
    // with it clear everywhere, stretches of full alpha are copied as they are.
    if (description.bitsPerPixel != 16) {
        return;
    }
    RowBlock* colour = bitmap->lockRows(0, description.height - 1);
    if (colour == nullptr || colour->bitsPerPixel != 16) {
        bitmap->unlockRows(colour);
        return;
    }
    for (std::int32_t row = 0; row < description.height; ++row) {
        auto* p = reinterpret_cast<std::uint16_t*>(colour->address + wide(row) * colour->pitch);
        for (std::int32_t x = 0; x < description.width; ++x) {
            p[x] = static_cast<std::uint16_t>(p[x] & 0x7FFFu);
        }
    }
    bitmap->unlockRows(colour);
    colourCopies_ = true;
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
            const std::uint8_t* from = picture->address + wide(row) * picture->pitch;
            std::uint8_t* toColour = colour->address + wide(row) * colour->pitch;
            std::uint8_t* toAlpha = alpha->address + wide(row) * alpha->pitch;
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
        spare_ = new (fallible) BlendTables(opacity);
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
    // At opacity 0 the tables give every screen pixel back: nothing to draw.
    if (canvas != nullptr && !active_->identity && alphaBitmap != nullptr) {
        blendOnto(*canvas);
    }
}

// Apart from draw, so that a faded-out picture returns before any of the set-up a blend needs.
__attribute__((noinline)) void AlphaImage::blendOnto(Canvas& canvas) {
    const DrawArea area =
        placeDraw(canvas, position, Rect(0, 0, description.width, description.height), canvas.clip);
    if (area.isEmpty()) {
        return;
    }
    DrawLocks locks(canvas, area);
    const PixelRows screen = locks.screen();
    const PixelRows alpha = locks.picture(alphaBitmap, 8);
    const PixelRows colour = hasAlpha == 1 ? locks.picture(bitmap, 16) : PixelRows{};
    if (locks.ready()) {
        blendAlphaRows(*active_,
                       BlendSpan{screen, alpha, colour, area.visible.width, area.visible.height},
                       colourCopies_);
    }
}

} // namespace qx
