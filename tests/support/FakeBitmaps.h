// A bitmap factory with real pixel storage at 8, 16, 24 and 32 bits per pixel. It converts
// 24 and 16 bits to "-rrrrrgggggbbbbb" and refuses everything else, 32 to 16 bits included.
// Rows are padded beyond their pixels so that code ignoring the pitch is caught.
#pragma once

#include <list>
#include <memory>
#include <vector>

#include "qx/bitmap.h"

namespace qxtest {

class FakeBitmap final : public qx::IBitmap, public qx::IBitmapConversion {
public:
    FakeBitmap(const qx::BitmapDescription& description, bool withConversion);

    std::int32_t load(qx::IRead* stream) override;
    std::int32_t unused2() override { return 0; }
    qx::RowBlock* lockRows(std::int32_t first, std::int32_t last) override;
    void unlockRows(qx::RowBlock* block) override;
    std::int32_t convert(const qx::BitmapDescription* wanted) override;

    std::uint8_t* pixel(std::int32_t x, std::int32_t y);
    std::uint32_t value(std::int32_t x, std::int32_t y); // little-endian, bytesPerPixel wide
    void setValue(std::int32_t x, std::int32_t y, std::uint32_t v);

    qx::InterfaceTable table;
    std::int32_t width;
    std::int32_t height;
    std::int32_t bitsPerPixel;
    std::uint32_t format;
    std::int32_t pitch = 0;
    std::vector<std::uint8_t> pixels;
    std::list<qx::RowBlock> locks; // blocks handed out and not yet given back
    int nullUnlocks = 0;
    std::vector<qx::BitmapDescription> conversions;

private:
    void allocate();
};

class FakeBitmapFactory final : public qx::IBitmapFactory {
public:
    explicit FakeBitmapFactory(const char* objectName = "vanillaimage");

    qx::InterfaceTable* create(qx::BitmapDescription* description) override;
    void destroy(qx::InterfaceTable* object) override;

    static FakeBitmap* of(const qx::Bitmap* bitmap);

    qx::InterfaceTable table;
    bool withConversion = true;
    bool refuse = false; // create answers null
    int destroyed = 0;
    std::vector<qx::InterfaceTable*> givenBack; // destroy's arguments, in order
    std::vector<std::unique_ptr<FakeBitmap>> alive;
};

} // namespace qxtest
