#include "visual/VisualFixture.h"

#include <memory>

#include "visual/AlphaImage.h"

namespace {

using qxtest::rgb15;

TEST(BlendTables, EntriesAtTheListedPoints) {
    auto tables = std::make_unique<qx::BlendTables>(1.0);
    EXPECT_EQ(tables->srcRed[qx::BlendTables::index(31, 255)], 31 << 10);
    EXPECT_EQ(tables->dstBlue[qx::BlendTables::index(31, 255)], 0);
    EXPECT_EQ(tables->srcBlue[qx::BlendTables::index(31, 128)], 15) << "15.56 truncated";
    EXPECT_EQ(tables->dstGreen[qx::BlendTables::index(31, 128)], 16 << 5);
    tables->build(0.0);
    for (unsigned i = 0; i < qx::BlendTables::kEntries; ++i) {
        ASSERT_EQ(tables->srcRed[i] | tables->srcGreen[i] | tables->srcBlue[i], 0);
        ASSERT_EQ(tables->dstRed[i], (i / 256) << 10);
    }
}

using AlphaImageTest = qxtest::VisualTest;

TEST_F(AlphaImageTest, MaskBlendsWhiteByCoverageAndIsCutAtTheClip) {
    auto mask = std::make_unique<qx::AlphaImage>(
        picture("qmark.png", 4, 1, 8, qxtest::kAlphaFormat, {255, 255, 128, 0}));
    fillScreen(rgb15(10, 20, 30));
    canvas.setClip(qx::Rect(4, 0, 100, 100));
    mask->setPosition(3, 2);
    mask->draw(&canvas);
    EXPECT_EQ(surface.pixel(3, 2), rgb15(10, 20, 30)) << "left of the clip";
    EXPECT_EQ(surface.pixel(4, 2), rgb15(31, 31, 31));
    EXPECT_EQ(surface.pixel(5, 2), rgb15(20, 25, 30)) << "15 + d - d * 128 / 255 per channel";
    EXPECT_EQ(surface.pixel(6, 2), rgb15(10, 20, 30));
}

TEST_F(AlphaImageTest, ThirtyTwoBitPicturesAreSplitAndBlendedByTheirAlpha) {
    // B, G, R, A per pixel.
    auto image = std::make_unique<qx::AlphaImage>(
        picture("arrow.png", 3, 1, 32, qxtest::kArgbFormat, {0xFFFF8000, 0x00FFFFFF, 0x800000F8}));
    ASSERT_EQ(image->hasAlpha, 1);
    EXPECT_EQ(image->description.bitsPerPixel, 16) << "the colour part is converted";
    EXPECT_EQ(qxtest::FakeBitmapFactory::of(image->alphaBitmap)->value(2, 0), 0x80u);
    EXPECT_EQ(bitmaps.alive.size(), 2u) << "the loaded picture is gone";

    fillScreen(rgb15(4, 8, 12));
    image->draw(&canvas);
    EXPECT_EQ(surface.pixel(0, 0), rgb15(31, 16, 0));
    EXPECT_EQ(surface.pixel(1, 0), rgb15(4, 8, 12));
    EXPECT_EQ(surface.pixel(2, 0), rgb15(2, 4, 21));
}

} // namespace
