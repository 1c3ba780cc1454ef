// The bitmap factory "vanillaimage": pictures held in memory at 8, 16, 24 or 32 bits per
// pixel, rows top to bottom without padding, convertible between formats by name.
#pragma once

#include <memory>
#include <vector>

#include "media/PixelLayout.h"
#include "media/RowLocks.h"
#include "qx/bitmap.h"
#include "runtime/Host.h"

namespace qxhost {

class VanillaBitmap final : public qx::IBitmap, public qx::IBitmapConversion {
public:
    VanillaBitmap(Host& host, const qx::BitmapDescription& description, PixelLayout layout);
    VanillaBitmap(const VanillaBitmap&) = delete;
    VanillaBitmap& operator=(const VanillaBitmap&) = delete;
    ~VanillaBitmap() = default;

    // Reads the rows from the stream; 1 when the whole picture arrived.
    std::int32_t load(qx::IRead* stream) override;
    std::int32_t unused2() override { return 0; }
    qx::RowBlock* lockRows(std::int32_t first, std::int32_t last) override;
    void unlockRows(qx::RowBlock* block) override;
    // Refuses 32 to 16 bits (pictures with alpha are split by their users instead), formats
    // it cannot read, and any conversion while rows are locked.
    std::int32_t convert(const qx::BitmapDescription* wanted) override;

    qx::InterfaceTable* table() { return &table_; }
    const qx::BitmapDescription& description() const { return description_; }
    const std::vector<std::uint8_t>& pixels() const { return pixels_; }
    // Unique for the process's life, unlike the address.
    std::uint64_t serial() const { return serial_; }
    // Counts the chances anyone had to change the pixels: row locks, loads and conversions.
    std::uint64_t edits() const { return edits_; }

private:
    qx::InterfaceTable table_;
    Host& host_;
    qx::BitmapDescription description_;
    PixelLayout layout_;
    std::int32_t pitch_;
    std::vector<std::uint8_t> pixels_;
    RowLocks locks_;
    std::uint64_t serial_;
    std::uint64_t edits_ = 0;
};

class VanillaBitmapFactory final : public qx::IBitmapFactory {
public:
    explicit VanillaBitmapFactory(Host& host);
    VanillaBitmapFactory(const VanillaBitmapFactory&) = delete;
    VanillaBitmapFactory& operator=(const VanillaBitmapFactory&) = delete;
    ~VanillaBitmapFactory() = default;

    // A zeroed picture of the description's size and depth; null (with a log line) for a
    // depth other than 8, 16, 24 or 32 or an unreasonable size.
    qx::InterfaceTable* create(qx::BitmapDescription* description) override;
    void destroy(qx::InterfaceTable* object) override;

    qx::InterfaceTable* table() { return &table_; }
    VanillaBitmap* bitmapOf(const qx::InterfaceTable* object) const;

private:
    qx::InterfaceTable table_;
    Host& host_;
    std::vector<std::unique_ptr<VanillaBitmap>> bitmaps_;
};

} // namespace qxhost
