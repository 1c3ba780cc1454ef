#include "support/FakeBitmaps.h"

#include <algorithm>

#include "services/HostServices.h"

namespace qxtest {

FakeBitmap::FakeBitmap(const qx::BitmapDescription& description, bool withConversion)
    : width(description.width), height(description.height), bitsPerPixel(description.bitsPerPixel),
      format(description.format) {
    table.addInterface(qx::kIBitmapName, static_cast<qx::IBitmap*>(this));
    if (withConversion) {
        table.addInterface(qx::kIBitmapConversionName, static_cast<qx::IBitmapConversion*>(this));
    }
    allocate();
}

void FakeBitmap::allocate() {
    const std::int32_t bytes = bitsPerPixel / 8;
    pitch = ((width * bytes + 3) & ~3) + 4;
    pixels.assign(static_cast<std::size_t>(pitch) * static_cast<std::size_t>(height), 0xEE);
}

std::int32_t FakeBitmap::load(qx::IRead* stream) {
    if (stream == nullptr) {
        return 0;
    }
    const std::int32_t rowBytes = width * bitsPerPixel / 8;
    std::int32_t total = 0;
    for (std::int32_t y = 0; y < height; ++y) {
        total += stream->read(pixels.data() + static_cast<std::size_t>(y) * pitch, rowBytes);
    }
    return total;
}

qx::RowBlock* FakeBitmap::lockRows(std::int32_t first, std::int32_t last) {
    if (first < 0 || last >= height || first > last) {
        return nullptr;
    }
    locks.push_back({pixels.data() + static_cast<std::size_t>(first) * pitch, bitsPerPixel, pitch});
    return &locks.back();
}

void FakeBitmap::unlockRows(qx::RowBlock* block) {
    nullUnlocks += block == nullptr ? 1 : 0;
    locks.remove_if([block](const qx::RowBlock& b) { return &b == block; });
}

std::int32_t FakeBitmap::convert(const qx::BitmapDescription* wanted) {
    conversions.push_back(*wanted);
    const std::uint32_t screen = qx::atomOf("-rrrrrgggggbbbbb");
    if (wanted->bitsPerPixel != 16 || wanted->format != screen ||
        (bitsPerPixel != 16 && bitsPerPixel != 24)) {
        return 0;
    }
    if (bitsPerPixel == 24) {
        std::vector<std::uint32_t> rgb;
        for (std::int32_t y = 0; y < height; ++y) {
            for (std::int32_t x = 0; x < width; ++x) {
                rgb.push_back(value(x, y));
            }
        }
        bitsPerPixel = 16;
        allocate();
        for (std::int32_t i = 0; i < width * height; ++i) {
            const std::uint32_t c = rgb[static_cast<std::size_t>(i)];
            setValue(i % width, i / width,
                     (((c >> 19) & 31u) << 10) | (((c >> 11) & 31u) << 5) | ((c >> 3) & 31u));
        }
    }
    format = screen;
    return 1;
}

std::uint8_t* FakeBitmap::pixel(std::int32_t x, std::int32_t y) {
    return pixels.data() + static_cast<std::size_t>(y) * pitch +
           static_cast<std::size_t>(x * bitsPerPixel / 8);
}

std::uint32_t FakeBitmap::value(std::int32_t x, std::int32_t y) {
    const std::uint8_t* p = pixel(x, y);
    std::uint32_t v = 0;
    for (int i = bitsPerPixel / 8 - 1; i >= 0; --i) {
        v = (v << 8) | p[i];
    }
    return v;
}

void FakeBitmap::setValue(std::int32_t x, std::int32_t y, std::uint32_t v) {
    std::uint8_t* p = pixel(x, y);
    for (int i = 0; i < bitsPerPixel / 8; ++i, v >>= 8) {
        p[i] = static_cast<std::uint8_t>(v);
    }
}

FakeBitmapFactory::FakeBitmapFactory(const char* objectName) : table(objectName) {
    table.addInterface(qx::kIBitmapFactoryName, static_cast<qx::IBitmapFactory*>(this));
}

qx::InterfaceTable* FakeBitmapFactory::create(qx::BitmapDescription* description) {
    if (refuse) {
        return nullptr;
    }
    alive.push_back(std::make_unique<FakeBitmap>(*description, withConversion));
    return &alive.back()->table;
}

void FakeBitmapFactory::destroy(qx::InterfaceTable* object) {
    ++destroyed;
    givenBack.push_back(object);
    std::erase_if(alive, [object](const auto& b) { return &b->table == object; });
}

FakeBitmap* FakeBitmapFactory::of(const qx::Bitmap* bitmap) {
    return bitmap != nullptr && bitmap->bitmap != nullptr ? static_cast<FakeBitmap*>(bitmap->bitmap)
                                                          : nullptr;
}

} // namespace qxtest
