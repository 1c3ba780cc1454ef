#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "media/BitmapFactory.h"
#include "media/PngCodec.h"
#include "media/Surface.h"

namespace {

class Screen : public ::testing::Test {
protected:
    // Stands in for the module's Bitmap record (same members, same order), which is all
    // the surface reads.
    struct Picture {
        qx::BitmapDescription description{};
        qx::IBitmapFactory* factory = nullptr;
        qx::IBitmap* bitmap = nullptr;
        qx::IBitmapConversion* conversion = nullptr;
        qx::InterfaceTable* object = nullptr;
    };
    static_assert(sizeof(Picture) == sizeof(qx::Bitmap));

    Picture& picture(std::int32_t w, std::int32_t h, std::int32_t bits, const char* format,
                     const std::vector<std::uint8_t>& pixels) {
        Picture& p = pictures.emplace_back();
        p.description.width = w;
        p.description.height = h;
        p.description.bitsPerPixel = bits;
        p.description.format = host.atoms().identifierOf(format);
        p.object = bitmaps.create(&p.description);
        p.bitmap = static_cast<qx::IBitmap*>(p.object->getInterface("IBitmap"));
        qx::RowBlock* rows = p.bitmap->lockRows(0, h - 1);
        std::copy(pixels.begin(), pixels.end(), rows->address);
        p.bitmap->unlockRows(rows);
        return p;
    }
    static const qx::Bitmap* record(const Picture& p) {
        return reinterpret_cast<const qx::Bitmap*>(&p);
    }
    std::size_t litPixels() {
        return surface.pixels().size() - static_cast<std::size_t>(std::count(
                                             surface.pixels().begin(), surface.pixels().end(), 0));
    }

    qxhost::Host host;
    qxhost::VanillaBitmapFactory bitmaps{host};
    qxhost::Surface surface{host};
    std::deque<Picture> pictures;
};

TEST_F(Screen, CopyIsClippedToPictureAndScreen) {
    // Seeded copies near the screen's edges against a pixel-by-pixel oracle; pixel i of
    // the picture holds i + 1.
    std::vector<std::uint8_t> numbered;
    for (std::uint8_t i = 1; i <= 20; ++i) {
        numbered.insert(numbered.end(), {i, 0});
    }
    const Picture& p = picture(5, 4, 16, "-rrrrrgggggbbbbb", numbered);
    std::mt19937 random(99);
    auto near = [&](std::int32_t edge) {
        return edge + static_cast<std::int32_t>(random() % 13) - 6;
    };
    for (int round = 0; round < 60; ++round) {
        surface.fill(qx::Colour(0, 0, 0));
        const std::int32_t x = random() % 2 ? near(0) : near(640);
        const std::int32_t y = random() % 2 ? near(0) : near(480);
        const qx::Rect source(static_cast<std::int32_t>(random() % 5) - 2,
                              static_cast<std::int32_t>(random() % 5) - 2,
                              static_cast<std::int32_t>(random() % 8),
                              static_cast<std::int32_t>(random() % 7));
        surface.copy(x, y, record(p), source);
        std::size_t expected = 0;
        for (std::int32_t sy = source.y; sy < source.y + source.height; ++sy) {
            for (std::int32_t sx = source.x; sx < source.x + source.width; ++sx) {
                const std::int32_t dx = x + sx - source.x;
                const std::int32_t dy = y + sy - source.y;
                if (sx < 0 || sy < 0 || sx >= 5 || sy >= 4 || dx < 0 || dy < 0 || dx >= 640 ||
                    dy >= 480) {
                    continue;
                }
                ++expected;
                ASSERT_EQ(surface.pixel(dx, dy), sy * 5 + sx + 1) << "seed 99, round " << round;
            }
        }
        ASSERT_EQ(litPixels(), expected) << "seed 99, round " << round;
    }
}

TEST_F(Screen, CopyConvertsOtherDepthsAndPolygonDrawsAClippedOutline) {
    const qx::Rect one(0, 0, 1, 1);
    surface.copy(10, 10, record(picture(1, 1, 24, "rrrrrrrrggggggggbbbbbbbb", {0xF8, 0, 8})), one);
    EXPECT_EQ(surface.pixel(10, 10), (1 << 10) | 31);
    // Alpha is not applied: a fully transparent blue pixel is copied as blue.
    surface.copy(
        0, 0, record(picture(1, 1, 32, "aaaaaaaarrrrrrrrggggggggbbbbbbbb", {0xF8, 0, 0, 0})), one);
    EXPECT_EQ(surface.pixel(0, 0), 0x001F);

    surface.fill(qx::Colour(0, 0, 0));
    std::vector<qx::Point> corners = {{10, 10}, {20, 10}, {20, 15}, {10, 15}};
    auto polygon = [&] {
        auto* points = static_cast<qx::Point*>(std::malloc(sizeof(qx::Point) * corners.size()));
        std::copy(corners.begin(), corners.end(), points);
        surface.polygon(qx::PointArray{static_cast<std::int32_t>(corners.size()), points});
    };
    surface.setColour(qx::Colour(255, 0, 0));
    polygon();
    EXPECT_EQ(surface.pixel(20, 12), 0x7C00);
    EXPECT_EQ(surface.pixel(15, 12), 0); // outline only
    EXPECT_EQ(litPixels(), 30u);
    // Far-away corners are cut to the screen instead of being walked.
    surface.fill(qx::Colour(0, 0, 0));
    corners = {{-2000000000, 100}, {2000000000, 100}};
    polygon();
    EXPECT_EQ(litPixels(), 640u);
    surface.polygon(qx::PointArray{});
}

TEST_F(Screen, CanvasRowsShowInTheSavedPng) {
    surface.fill(qx::Colour(0, 0, 255));
    const qx::Canvas canvas = surface.makeCanvas();
    EXPECT_EQ(canvas.clip, qx::Rect(0, 0, 640, 480));
    EXPECT_EQ(surface.lockRows(470, 480), nullptr);
    qx::RowBlock* rows = canvas.surface->lockRows(478, 479);
    reinterpret_cast<std::uint16_t*>(rows->address + rows->pitch)[639] = 0x7C00;
    canvas.surface->unlockRows(rows);
    const auto path = std::filesystem::temp_directory_path() / "qx_surface_test.png";
    ASSERT_TRUE(surface.savePng(path.string()));
    std::ifstream file(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    qxhost::DecodedPicture decoded;
    std::string error;
    ASSERT_TRUE(qxhost::decodePng(bytes.data(), bytes.size(), decoded, error)) << error;
    EXPECT_EQ(qx::Size(decoded.width, decoded.height), qx::Size(640, 480));
    EXPECT_EQ(decoded.pixels[0], 255); // B, G, R of the first pixel
    EXPECT_EQ(decoded.pixels[2], 0);
    EXPECT_EQ(decoded.pixels.back(), 255); // R of the last one
    std::filesystem::remove(path);

    EXPECT_FALSE(surface.savePng("/nonexistent-dir/x.png"));
    EXPECT_EQ(
        host.log().lines().at(0).message.rfind("surface: cannot write /nonexistent-dir/x.png", 0),
        0u);
}

} // namespace
