#include "media/BitmapFactory.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "media/PngCodec.h"

namespace qxhost {

VanillaBitmap::VanillaBitmap(Host& host, const qx::BitmapDescription& description,
                             PixelLayout layout)
    : host_(host), description_(description), layout_(layout),
      pitch_(description.width * layout.bytesPerPixel()),
      pixels_(static_cast<std::size_t>(pitch_) * static_cast<std::size_t>(description.height)) {
    static std::atomic<std::uint64_t> made{0};
    serial_ = ++made;
    table_.addInterface(qx::kIBitmapName, static_cast<qx::IBitmap*>(this));
    table_.addInterface(qx::kIBitmapConversionName, static_cast<qx::IBitmapConversion*>(this));
}

std::int32_t VanillaBitmap::load(qx::IRead* stream) {
    if (stream == nullptr) {
        return 0;
    }
    ++edits_;
    std::size_t filled = 0;
    while (filled < pixels_.size()) {
        const auto wanted =
            static_cast<std::int32_t>(std::min<std::size_t>(pixels_.size() - filled, 1 << 20));
        const std::int32_t count = stream->read(pixels_.data() + filled, wanted);
        if (count <= 0) {
            break;
        }
        filled += static_cast<std::size_t>(std::min(count, wanted));
    }
    if (filled < pixels_.size()) {
        host_.report(qx::kLogError, "vanillaimage: picture data ends after %zu of %zu bytes",
                     filled, pixels_.size());
        return 0;
    }
    return 1;
}

qx::RowBlock* VanillaBitmap::lockRows(std::int32_t first, std::int32_t last) {
    if (first < 0 || first > last || last >= description_.height) {
        return nullptr;
    }
    ++edits_;
    return locks_.acquire(pixels_.data() + static_cast<std::size_t>(first) * pitch_,
                          layout_.bitsPerPixel(), pitch_);
}

void VanillaBitmap::unlockRows(qx::RowBlock* block) { locks_.release(block); }

std::int32_t VanillaBitmap::convert(const qx::BitmapDescription* wanted) {
    if (wanted == nullptr || !locks_.empty()) {
        return 0;
    }
    if (layout_.bitsPerPixel() == 32 && wanted->bitsPerPixel == 16) {
        return 0;
    }
    const auto target = PixelLayout::parse(host_.atoms().nameOf(wanted->format));
    if (!target || target->bitsPerPixel() != wanted->bitsPerPixel) {
        return 0;
    }
    ++edits_;
    const auto count = static_cast<std::size_t>(description_.width) *
                       static_cast<std::size_t>(description_.height);
    std::vector<std::uint8_t> converted(count * static_cast<std::size_t>(target->bytesPerPixel()));
    PixelLayout::convert(pixels_.data(), layout_, converted.data(), *target, count);
    pixels_ = std::move(converted);
    layout_ = *target;
    pitch_ = description_.width * layout_.bytesPerPixel();
    description_.bitsPerPixel = wanted->bitsPerPixel;
    description_.format = wanted->format;
    return 1;
}

VanillaBitmapFactory::VanillaBitmapFactory(Host& host) : table_("vanillaimage"), host_(host) {
    table_.addInterface(qx::kIBitmapFactoryName, static_cast<qx::IBitmapFactory*>(this));
}

qx::InterfaceTable* VanillaBitmapFactory::create(qx::BitmapDescription* description) {
    if (description == nullptr) {
        return nullptr;
    }
    const auto standard = PixelLayout::standard(description->bitsPerPixel);
    if (!standard) {
        host_.report(qx::kLogError, "vanillaimage: cannot hold pictures of %d bits per pixel",
                     description->bitsPerPixel);
        return nullptr;
    }
    if (description->width < 0 || description->height < 0 ||
        description->width > kLargestPictureSide || description->height > kLargestPictureSide ||
        std::int64_t{description->width} * description->height > kLargestPicturePixels) {
        host_.report(qx::kLogError, "vanillaimage: cannot hold a picture of %d x %d pixels",
                     description->width, description->height);
        return nullptr;
    }
    // A format that names other bits than the depth holds is read as the depth's usual one.
    auto layout = PixelLayout::parse(host_.atoms().nameOf(description->format));
    if (!layout || layout->bitsPerPixel() != description->bitsPerPixel) {
        layout = standard;
    }
    bitmaps_.push_back(std::make_unique<VanillaBitmap>(host_, *description, *layout));
    return bitmaps_.back()->table();
}

void VanillaBitmapFactory::destroy(qx::InterfaceTable* object) {
    auto found = std::find_if(bitmaps_.begin(), bitmaps_.end(),
                              [object](const auto& b) { return b->table() == object; });
    if (found != bitmaps_.end()) {
        bitmaps_.erase(found);
    }
}

VanillaBitmap* VanillaBitmapFactory::bitmapOf(const qx::InterfaceTable* object) const {
    for (const auto& bitmap : bitmaps_) {
        if (bitmap->table() == object) {
            return bitmap.get();
        }
    }
    return nullptr;
}

} // namespace qxhost
