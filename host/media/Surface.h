// The screen: a 640 x 480 framebuffer in "-rrrrrgggggbbbbb", one little-endian 16-bit word
// per pixel, rows 1280 bytes apart. A scene draws on it through the Canvas record that
// makeCanvas gives.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media/BitmapFactory.h"
#include "media/PixelLayout.h"
#include "media/RowLocks.h"
#include "media/SurfaceSlots.h"
#include "qx/canvas.h"
#include "runtime/Host.h"

namespace qxhost {

class Surface final : public SurfaceSlots {
public:
    static constexpr std::int32_t kWidth = 640;
    static constexpr std::int32_t kHeight = 480;
    static constexpr std::int32_t kPitch = kWidth * 2;

    // With the bitmap factory, copies of its pictures are remembered row by row, and a row
    // that still holds what a copy would put there is left as it is.
    explicit Surface(Host& host, const VanillaBitmapFactory* pictures = nullptr);
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    ~Surface() = default;

    void setColour(qx::Colour colour) override;
    // The outline through the points, closed, clipped to the screen.
    void polygon(qx::PointArray points) override;
    // Clipped to the bitmap and to the screen; 8, 24 and 32-bit pixels are converted (the
    // alpha of 32-bit ones is dropped, 8-bit ones show as grey).
    void copy(std::int32_t x, std::int32_t y, const qx::Bitmap* bitmap, qx::Rect source) override;
    // Null unless 0 <= first <= last < 480 and the surface paints.
    qx::RowBlock* lockRows(std::int32_t first, std::int32_t last) override;
    void unlockRows(qx::RowBlock* block) override;

    // A drawing context on this surface: its format, 16 bits, clip of the whole screen,
    // origin (0, 0), white, no font.
    qx::Canvas makeCanvas();
    // Writes the screen as a 24-bit PNG; false (with a log line) when it cannot.
    bool savePng(const std::string& path);

    // Off: pictures, polygons and scene-locked rows (lockRows answers null) leave the pixels
    // as they are, for runs that look at where things went rather than at the screen.
    void setPainting(bool on) { painting_ = on; }

    void fill(qx::Colour colour);
    std::uint16_t pixel(std::int32_t x, std::int32_t y) const;
    std::uint16_t pixelOf(qx::Colour colour) const {
        const auto component = [](std::int32_t value) {
            return value < 0 ? 0 : value > 255 ? 255 : value;
        };
        return static_cast<std::uint16_t>(redBits_[component(colour.red)] |
                                          greenBits_[component(colour.green)] |
                                          blueBits_[component(colour.blue)]);
    }
    const std::vector<std::uint16_t>& pixels() const { return pixels_; }
    std::uint32_t format() const { return format_; }
    qx::Colour colour() const { return colour_; }
    qx::InterfaceTable* table() { return &table_; }

private:
    // What a whole screen row was last copied from: a picture in the screen's format (by
    // serial number and its edits at the time), its row and first column. Anything else that
    // draws on the row forgets it. Scenes copy their background over the screen every frame,
    // and most of its rows are still there from the frame before.
    struct RowOrigin {
        std::uint64_t picture = 0; // 0: not known
        std::uint64_t edits = 0;
        std::int32_t row = 0;
        std::int32_t column = 0;
    };
    void forget(std::int64_t first, std::int64_t last);
    void plot(std::int64_t x, std::int64_t y, std::uint16_t value);
    void line(qx::Point from, qx::Point to, std::uint16_t value);

    qx::InterfaceTable table_;
    Host& host_;
    std::uint32_t format_;
    PixelLayout layout_;
    qx::Colour colour_;
    std::uint16_t colourPixel_ = 0; // colour_ as a screen pixel, unless stale
    bool colourPixelStale_ = false;
    // Each channel's bits in a screen pixel, per 8-bit value.
    std::uint16_t redBits_[256];
    std::uint16_t greenBits_[256];
    std::uint16_t blueBits_[256];
    std::vector<std::uint16_t> pixels_;
    RowLocks locks_;
    const VanillaBitmapFactory* pictures_;
    std::array<RowOrigin, kHeight> origins_{};
    std::int32_t knownFirst_ = kHeight; // rows outside these are not remembered
    std::int32_t knownLast_ = -1;
    bool painting_ = true;
};

} // namespace qxhost
