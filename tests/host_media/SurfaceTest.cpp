#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <random>

#include "host_archives/TempFolder.h"
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
        p.bitmap = static_cast<qx::IBitmap*>(p.object->getInterface(qx::kIBitmapName));
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

// Slanted edges, as jittered frames have, in every direction: both ends lit, every column
// (or row) along the longer axis lit, and every lit pixel within a pixel of the true line.
// A polygon of two points draws its edge there and back.
TEST_F(Screen, SlantedOutlinesAreUnbrokenLines) {
    std::mt19937 random(7);
    const auto pick = [&](std::int32_t span) {
        return static_cast<std::int32_t>(random() % static_cast<unsigned>(span));
    };
    for (int n = 0; n < 300; ++n) {
        const qx::Point from(pick(640), pick(480));
        const qx::Point to(std::clamp(from.x + pick(161) - 80, 0, 639),
                           std::clamp(from.y + pick(31) - 15, 0, 479));
        SCOPED_TRACE(std::to_string(from.x) + "," + std::to_string(from.y) + " to " +
                     std::to_string(to.x) + "," + std::to_string(to.y));
        surface.fill(qx::Colour(0, 0, 0));
        surface.setColour(qx::Colour(255, 255, 255));
        auto* points = static_cast<qx::Point*>(std::malloc(2 * sizeof(qx::Point)));
        points[0] = from;
        points[1] = to;
        surface.polygon(qx::PointArray{2, points});
        ASSERT_NE(surface.pixel(from.x, from.y), 0);
        ASSERT_NE(surface.pixel(to.x, to.y), 0);
        const std::int64_t dx = to.x - from.x;
        const std::int64_t dy = to.y - from.y;
        const double length = std::hypot(double(dx), double(dy));
        std::vector<int> columns(640), rows(480);
        for (std::int32_t y = 0; y < 480; ++y) {
            for (std::int32_t x = 0; x < 640; ++x) {
                if (surface.pixel(x, y) == 0) {
                    continue;
                }
                ++columns[static_cast<std::size_t>(x)];
                ++rows[static_cast<std::size_t>(y)];
                const double off = std::abs(double(dx * (y - from.y) - dy * (x - from.x)));
                ASSERT_LE(off, length) << "pixel " << x << "," << y;
            }
        }
        const bool wide = std::abs(dx) >= std::abs(dy);
        for (std::int32_t i = wide ? std::min(from.x, to.x) : std::min(from.y, to.y);
             i <= (wide ? std::max(from.x, to.x) : std::max(from.y, to.y)); ++i) {
            ASSERT_GT((wide ? columns : rows)[static_cast<std::size_t>(i)], 0) << "gap at " << i;
        }
    }
}

// A surface that remembers which rows hold which picture rows, and skips copying them again,
// against one that copies everything (from twins of the pictures, whose locks leave the
// originals alone): seeded mixes of whole-row and partial copies, pictures edited through
// their rows, screen rows written through locks (also while copying), outlines and fills must
// leave both screens alike.
TEST_F(Screen, RememberedRowsLookLikeFreshCopies) {
    qxhost::Surface remembering(host, &bitmaps);
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 random(seed);
        const auto pick = [&](std::int32_t n) { return static_cast<std::int32_t>(random() % n); };
        std::array<std::array<Picture*, 2>, 3> kept{};
        for (std::size_t i = 0; i < kept.size(); ++i) {
            const std::int32_t w = i < 2 ? 640 : 700, h = i < 2 ? 40 : 8;
            std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w * h * 2));
            for (std::uint8_t& byte : pixels) {
                byte = static_cast<std::uint8_t>(random());
            }
            for (Picture*& p : kept[i]) {
                p = &picture(w, h, 16, "-rrrrrgggggbbbbb", pixels);
            }
        }
        std::vector<std::uint8_t> colours(640 * 2 * 3);
        for (std::uint8_t& byte : colours) {
            byte = static_cast<std::uint8_t>(random());
        }
        const Picture& deep = picture(640, 2, 24, "rrrrrrrrggggggggbbbbbbbb", colours);
        // The surface that remembers works on the first of the twins.
        const auto both = [&](std::size_t i, const auto& draw) {
            draw(remembering, *kept[i][0]);
            draw(surface, *kept[i][1]);
        };
        for (int step = 0; step < 200; ++step) {
            SCOPED_TRACE("seed " + std::to_string(seed) + ", step " + std::to_string(step));
            const std::size_t i = pick(3) == 0 ? static_cast<std::size_t>(pick(3)) : 0;
            const std::int32_t y = pick(4) == 0 ? pick(480) : pick(2) * 440;
            const std::int32_t last = std::min(y + pick(6), 479);
            const std::int32_t at = pick((last - y + 1) * 1280);
            const auto value = static_cast<std::uint8_t>(random());
            const std::int32_t x = pick(3) - 1;
            const qx::Rect part(pick(8), pick(8), 640 - pick(8), 40 - pick(8));
            const auto whole = [](const Picture& p) {
                return qx::Rect(0, 0, p.description.width, p.description.height);
            };
            switch (pick(8)) {
            case 0: // the picture changes under the rows copied from it
                both(i, [&](qxhost::Surface&, const Picture& p) {
                    qx::RowBlock* rows = p.bitmap->lockRows(0, p.description.height - 1);
                    rows->address[at % (rows->pitch * p.description.height)] = value;
                    p.bitmap->unlockRows(rows);
                });
                break;
            case 1: // rows drawn on directly, as alpha pictures and text do
                both(i, [&](qxhost::Surface& s, const Picture&) {
                    qx::RowBlock* rows = s.lockRows(y, last);
                    rows->address[at] = value;
                    s.unlockRows(rows);
                });
                break;
            case 2: // an outline across a few rows
                both(i, [&](qxhost::Surface& s, const Picture&) {
                    auto* points = static_cast<qx::Point*>(std::malloc(2 * sizeof(qx::Point)));
                    points[0] = qx::Point(x * 300 + 20, y - 20);
                    points[1] = qx::Point(x * 300 + 90, y + 3);
                    s.polygon(qx::PointArray{2, points});
                });
                break;
            case 3: // copies while rows are handed out, written into afterwards
                both(i, [&](qxhost::Surface& s, const Picture& p) {
                    qx::RowBlock* rows = s.lockRows(y, last);
                    s.copy(0, y, record(p), whole(p));
                    rows->address[at] = value;
                    s.unlockRows(rows);
                });
                break;
            case 4:
                both(i,
                     [&](qxhost::Surface& s, const Picture& p) { s.copy(x, y, record(p), part); });
                break;
            case 5: // converted as it is copied
                both(i, [&](qxhost::Surface& s, const Picture&) {
                    s.copy(0, y, record(deep), whole(deep));
                });
                if (pick(10) == 0) {
                    both(i,
                         [&](qxhost::Surface& s, const Picture&) { s.fill(qx::Colour(0, 0, 0)); });
                }
                break;
            default:
                both(i, [&](qxhost::Surface& s, const Picture& p) {
                    s.copy(0, y, record(p), whole(p));
                });
            }
            ASSERT_EQ(remembering.pixels(), surface.pixels());
        }
    }
}

TEST_F(Screen, CanvasRowsShowInTheSavedPng) {
    surface.fill(qx::Colour(0, 0, 255));
    const qx::Canvas canvas = surface.makeCanvas();
    EXPECT_EQ(canvas.clip, qx::Rect(0, 0, 640, 480));
    EXPECT_EQ(surface.lockRows(470, 480), nullptr);
    qx::RowBlock* rows = canvas.surface->lockRows(478, 479);
    reinterpret_cast<std::uint16_t*>(rows->address + rows->pitch)[639] = 0x7C00;
    canvas.surface->unlockRows(rows);
    const qxtest::TempFolder folder;
    ASSERT_TRUE(surface.savePng(folder.at("shot.png")));
    const std::string bytes = qxtest::readFile(folder.at("shot.png"));
    qxhost::DecodedPicture decoded;
    std::string error;
    ASSERT_TRUE(qxhost::decodePng(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                                  decoded, error))
        << error;
    EXPECT_EQ(qx::Size(decoded.width, decoded.height), qx::Size(640, 480));
    EXPECT_EQ(decoded.pixels[0], 255); // B, G, R of the first pixel
    EXPECT_EQ(decoded.pixels[2], 0);
    EXPECT_EQ(decoded.pixels.back(), 255); // R of the last one

    EXPECT_FALSE(surface.savePng("/nonexistent-dir/x.png"));
    EXPECT_EQ(
        host.log().lines().at(0).message.rfind("surface: cannot write /nonexistent-dir/x.png", 0),
        0u);
}

} // namespace
