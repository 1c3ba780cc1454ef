#include "visual/VisualFixture.h"

#include <memory>

#include "visual/KeyedImage.h"
#include "visual/TransparencyRuns.h"

namespace {

using qxtest::rgb15;
using qxtest::VisualTest;

class KeyedImageTest : public VisualTest {
protected:
    // The runs of a one-row 16-bit picture, as (transparent, opaque) pairs.
    std::vector<std::pair<int, int>> runsOf(const std::vector<std::uint32_t>& row,
                                            qx::Colour key = qx::Colour(0, 0, 0)) {
        auto d = describe(static_cast<std::int32_t>(row.size()), 1, 16, qxtest::kScreenFormat);
        qx::Bitmap bitmap(&d);
        for (std::size_t x = 0; x < row.size(); ++x) {
            qxtest::FakeBitmapFactory::of(&bitmap)->setValue(static_cast<std::int32_t>(x), 0,
                                                             row[x]);
        }
        return pairs(qx::TransparencyRuns(&bitmap, key));
    }
    static std::vector<std::pair<int, int>> pairs(const qx::TransparencyRuns& runs) {
        std::vector<std::pair<int, int>> out;
        for (std::int32_t i = 0; i < runs.count; ++i) {
            out.emplace_back(runs.entries()[i] >> 16, runs.entries()[i] & 0xFFFF);
        }
        return out;
    }
    using Pairs = std::vector<std::pair<int, int>>;
    const std::uint32_t red = rgb15(31, 0, 0);
};

TEST_F(KeyedImageTest, RowsAreEncodedAsTransparentOpaquePairs) {
    EXPECT_EQ(runsOf({0, 0, red, red}), (Pairs{{2, 2}}));
    EXPECT_EQ(runsOf({red, 0, red, 0}), (Pairs{{0, 1}, {1, 1}, {1, 0}}));
    EXPECT_EQ(runsOf(std::vector<std::uint32_t>(10, 0)), (Pairs{{10, 0}}));
    EXPECT_EQ(runsOf(std::vector<std::uint32_t>(10, red)), (Pairs{{0, 10}}));
    // The key's components are placed unreduced: (1, 2, 3) is the pixel 0x0843.
    EXPECT_EQ(runsOf({0x0843, red, 0x0843}, qx::Colour(1, 2, 3)), (Pairs{{1, 1}, {1, 0}}));
}

TEST_F(KeyedImageTest, RowsFollowOneAnotherAndTwentyFourBitKeysArePacked) {
    auto d = describe(3, 2, 24, qxtest::kRgbFormat);
    qx::Bitmap bitmap(&d);
    auto* pixels = qxtest::FakeBitmapFactory::of(&bitmap);
    const std::uint32_t values[] = {0xFF8000, 0x123456, 0xFF8000, 0x123456, 0x123456, 0x123456};
    for (int i = 0; i < 6; ++i) {
        pixels->setValue(i % 3, i / 3, values[i]);
    }
    qx::TransparencyRuns runs(&bitmap, qx::Colour(255, 128, 0));
    EXPECT_EQ(runs.width, 3);
    EXPECT_EQ(runs.height, 2);
    EXPECT_EQ(pairs(runs), (Pairs{{1, 1}, {1, 0}, {0, 3}}));
    EXPECT_TRUE(pixels->locks.empty());

    auto deep = describe(3, 2, 32, qxtest::kArgbFormat);
    qx::Bitmap unconverted(&deep);
    EXPECT_EQ(qx::TransparencyRuns(&unconverted, qx::Colour(0, 0, 0)).entries(), nullptr);
}

TEST_F(KeyedImageTest, CursorHalfOutsideTheLeftEdgeDrawsOnlyVisibleOpaquePixels) {
    // 4 x 2: row 0 = key, A, B, key; row 1 = C, key, key, D.
    const std::uint32_t a = rgb15(1, 1, 1), b = rgb15(2, 2, 2), c = rgb15(3, 3, 3),
                        d = rgb15(4, 4, 4);
    auto cursor = std::make_unique<qx::KeyedImage>(
        picture("cursor.png", 4, 2, 16, qxtest::kScreenFormat, {0, a, b, 0, c, 0, 0, d}));
    ASSERT_NE(cursor->runs, nullptr);
    EXPECT_EQ(pairs(*cursor->runs), (Pairs{{1, 2}, {1, 0}, {0, 1}, {2, 1}}));
    fillScreen(0x7FFF);
    canvas.setClip(qx::Rect(100, 0, 540, 480));
    cursor->setPosition(98, 10);
    cursor->draw(&canvas);
    EXPECT_EQ(surface.pixel(99, 10), 0x7FFF) << "column 1 lies outside the clip";
    EXPECT_EQ(surface.pixel(100, 10), b);
    EXPECT_EQ(surface.pixel(101, 10), 0x7FFF);
    EXPECT_EQ(surface.pixel(98, 11), 0x7FFF);
    EXPECT_EQ(surface.pixel(100, 11), 0x7FFF);
    EXPECT_EQ(surface.pixel(101, 11), d);
    EXPECT_TRUE(surface.locks.empty());
}

TEST_F(KeyedImageTest, UnconvertedDeepPictureHasNoRunsAndDrawsNothing) {
    auto image = std::make_unique<qx::KeyedImage>(
        picture("deep.png", 2, 2, 32, qxtest::kArgbFormat, {0xFFFFFFFF, 1, 2, 3}));
    EXPECT_EQ(image->runs->count, 0);
    fillScreen(0x1234);
    image->draw(&canvas);
    EXPECT_EQ(surface.pixel(0, 0), 0x1234);
    EXPECT_TRUE(surface.locks.empty());
}

} // namespace
