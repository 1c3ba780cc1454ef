#include "visual/VisualFixture.h"

#include <memory>

#include "visual/AlphaImage.h"

namespace {

using qxtest::rgb15;
using qxtest::VisualTest;

TEST(BlendTables, EntriesAtTheListedPoints) {
    auto tables = std::make_unique<qx::BlendTables>(1.0);
    const int full = qx::BlendTables::index(31, 255);
    EXPECT_EQ(tables->srcRed[full], 31 << 10);
    EXPECT_EQ(tables->srcGreen[full], 31 << 5);
    EXPECT_EQ(tables->dstBlue[full], 0);
    const int half = qx::BlendTables::index(31, 128); // 31 * 128 / 255 = 15.56
    EXPECT_EQ(tables->srcBlue[half], 15);
    EXPECT_EQ(tables->dstBlue[half], 16);
    EXPECT_EQ(tables->dstRed[half], 16 << 10);
    EXPECT_EQ(tables->srcBlue[qx::BlendTables::index(17, 0)], 0);
    EXPECT_EQ(tables->dstGreen[qx::BlendTables::index(17, 0)], 17 << 5);

    tables->build(0.0);
    EXPECT_EQ(tables->opacity, 0.0);
    for (unsigned c = 0; c < 32; ++c) {
        for (unsigned a = 0; a < 256; a += 51) {
            const int i = qx::BlendTables::index(c, a);
            ASSERT_EQ(tables->srcRed[i] | tables->srcGreen[i] | tables->srcBlue[i], 0);
            ASSERT_EQ(tables->dstRed[i], c << 10);
            ASSERT_EQ(tables->dstBlue[i], c);
        }
    }

    tables->build(0.5); // 20 * 200 * 0.5 / 255 = 7.84
    EXPECT_EQ(tables->srcBlue[qx::BlendTables::index(20, 200)], 7);
    EXPECT_EQ(tables->dstBlue[qx::BlendTables::index(20, 200)], 13);
}

using AlphaImageTest = VisualTest;

TEST_F(AlphaImageTest, MaskBlendsWhiteByCoverage) {
    auto mask = std::make_unique<qx::AlphaImage>(
        picture("qmark.png", 3, 1, 8, qxtest::kAlphaFormat, {255, 128, 0}));
    EXPECT_EQ(mask->hasAlpha, 0);
    EXPECT_EQ(mask->alphaBitmap, mask->bitmap);
    EXPECT_EQ(mask->colourBitmap, nullptr);
    fillScreen(rgb15(10, 20, 30));
    mask->setPosition(4, 2);
    mask->draw(&canvas);
    EXPECT_EQ(surface.pixel(4, 2), rgb15(31, 31, 31));
    // 15 + d - d * 128 / 255 per channel, each product truncated.
    EXPECT_EQ(surface.pixel(5, 2), rgb15(20, 25, 30));
    EXPECT_EQ(surface.pixel(6, 2), rgb15(10, 20, 30));
    EXPECT_EQ(surface.pixel(3, 2), rgb15(10, 20, 30));
    EXPECT_TRUE(surface.locks.empty());
    EXPECT_TRUE(qxtest::FakeBitmapFactory::of(mask->bitmap)->locks.empty());
}

TEST_F(AlphaImageTest, ThirtyTwoBitPicturesAreSplitAndBlendedByTheirAlpha) {
    // Bytes B, G, R, A per pixel.
    auto image =
        std::make_unique<qx::AlphaImage>(picture("arrow.png", 2, 2, 32, qxtest::kArgbFormat,
                                                 {0xFFFF8000, 0x00FFFFFF, 0x800000F8, 0xFF000000}));
    ASSERT_EQ(image->hasAlpha, 1);
    ASSERT_NE(image->colourBitmap, nullptr);
    EXPECT_EQ(image->bitmap, image->colourBitmap);
    EXPECT_EQ(image->description.bitsPerPixel, 16) << "the colour part is converted";
    qxtest::FakeBitmap* alpha = qxtest::FakeBitmapFactory::of(image->alphaBitmap);
    EXPECT_EQ(alpha->bitsPerPixel, 8);
    EXPECT_EQ(alpha->value(0, 1), 0x80u);
    EXPECT_EQ(bitmaps.alive.size(), 2u) << "the loaded picture is gone";

    fillScreen(rgb15(4, 8, 12));
    image->draw(&canvas);
    EXPECT_EQ(surface.pixel(0, 0), rgb15(31, 16, 0)) << "alpha 255 copies the colour";
    EXPECT_EQ(surface.pixel(1, 0), rgb15(4, 8, 12)) << "alpha 0 leaves the screen";
    // Blue 31 at alpha 128: 15 + 12 - 6; red and green 0: d - d * 128 / 255.
    EXPECT_EQ(surface.pixel(0, 1), rgb15(2, 4, 21));
    EXPECT_EQ(surface.pixel(1, 1), rgb15(0, 0, 0));

    fillScreen(rgb15(4, 8, 12));
    image->setOpacity(0.0);
    image->draw(&canvas);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 2; ++x) {
            EXPECT_EQ(surface.pixel(x, y), rgb15(4, 8, 12)) << x << "," << y;
        }
    }
}

TEST_F(AlphaImageTest, PartlyClippedDrawIsCutAtTheClipEdge) {
    std::vector<std::uint32_t> solid(16, 255);
    auto mask = std::make_unique<qx::AlphaImage>(
        picture("lmask.png", 4, 4, 8, qxtest::kAlphaFormat, solid));
    canvas.setClip(qx::Rect(10, 10, 100, 100));
    canvas.setOrigin(10, 10);
    mask->setPosition(-2, -1);
    mask->draw(&canvas);
    EXPECT_EQ(mask->position, qx::Point(-2, -1));
    for (int y = 8; y < 14; ++y) {
        for (int x = 7; x < 13; ++x) {
            const bool inside = x >= 10 && x < 12 && y >= 10 && y < 13;
            EXPECT_EQ(surface.pixel(x, y), inside ? 0x7FFF : 0) << x << "," << y;
        }
    }
}

} // namespace
