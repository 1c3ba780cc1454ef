// A host with an in-memory archive, the fake bitmap factory and a 640 x 480 surface, and
// helpers that put pictures into the archive.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "qx/canvas.h"
#include "runtime/Host.h"
#include "services/HostServices.h"
#include "support/FakeBitmaps.h"
#include "support/FakeSurface.h"
#include "support/MemoryArchive.h"

namespace qxtest {

inline constexpr const char* kScreenFormat = "-rrrrrgggggbbbbb";
inline constexpr const char* kRgbFormat = "rrrrrrrrggggggggbbbbbbbb";
inline constexpr const char* kArgbFormat = "aaaaaaaarrrrrrrrggggggggbbbbbbbb";
inline constexpr const char* kAlphaFormat = "aaaaaaaa";

inline std::uint16_t rgb15(unsigned r, unsigned g, unsigned b) {
    return static_cast<std::uint16_t>((r << 10) | (g << 5) | b);
}

class VisualTest : public ::testing::Test {
protected:
    VisualTest() : canvas(surface.canvas()) {}

    qx::BitmapDescription describe(std::int32_t width, std::int32_t height, std::int32_t bits,
                                   const char* format, std::int32_t frames = 1) {
        qx::BitmapDescription d{};
        d.resource.type = qx::atomOf("image");
        d.width = width;
        d.height = height;
        d.bitsPerPixel = bits;
        d.format = qx::atomOf(format);
        d.frames = frames;
        return d;
    }

    // A picture entry whose pixel values (little-endian, bits / 8 bytes each) are given row
    // by row.
    qx::ResourceEntry* picture(const std::string& name, std::int32_t width, std::int32_t height,
                               std::int32_t bits, const char* format,
                               const std::vector<std::uint32_t>& values = {},
                               std::int32_t frames = 1) {
        return pictureIn(archive, name, width, height, bits, format, values, frames);
    }
    // The same in another archive.
    qx::ResourceEntry* pictureIn(MemoryArchive& in, const std::string& name, std::int32_t width,
                                 std::int32_t height, std::int32_t bits, const char* format,
                                 const std::vector<std::uint32_t>& values = {},
                                 std::int32_t frames = 1) {
        std::vector<std::uint8_t> bytes;
        for (std::int32_t i = 0; i < width * height; ++i) {
            std::uint32_t v = i < static_cast<std::int32_t>(values.size()) ? values[i] : 0;
            for (int b = 0; b < bits / 8; ++b, v >>= 8) {
                bytes.push_back(static_cast<std::uint8_t>(v));
            }
        }
        return in.addImage(name, describe(width, height, bits, format, frames), bytes);
    }

    void fillScreen(std::uint16_t value) {
        for (std::int32_t y = 0; y < FakeSurface::kHeight; ++y) {
            for (std::int32_t x = 0; x < FakeSurface::kWidth; ++x) {
                surface.setPixel(x, y, value);
            }
        }
    }

    qxhost::Host host;
    MemoryArchive archive;
    FakeBitmapFactory bitmaps;
    FakeSurface surface;
    qx::Canvas canvas;
};

} // namespace qxtest
