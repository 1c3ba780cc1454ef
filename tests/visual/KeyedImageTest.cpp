#include "visual/VisualFixture.h"

#include <memory>

#include "visual/KeyedImage.h"

namespace {

using qxtest::rgb15;

class KeyedImageTest : public qxtest::VisualTest {
protected:
    // The runs of a picture as "t,o " pairs.
    std::string runsOf(std::int32_t width, std::int32_t bits, const char* format,
                       const std::vector<std::uint32_t>& values, qx::Colour key = {0, 0, 0}) {
        const auto n = static_cast<std::int32_t>(values.size());
        auto d = describe(width, n / width, bits, format);
        qx::Bitmap bitmap(&d);
        for (std::int32_t i = 0; i < n; ++i) {
            qxtest::FakeBitmapFactory::of(&bitmap)->setValue(i % width, i / width, values[i]);
        }
        const qx::TransparencyRuns runs(&bitmap, key);
        std::string out;
        for (std::int32_t i = 0; i < runs.count; ++i) {
            out += std::to_string(runs.entries()[i] >> 16) + "," +
                   std::to_string(runs.entries()[i] & 0xFFFF) + " ";
        }
        return out;
    }
    const std::uint32_t red = rgb15(31, 0, 0);
    const char* screen = qxtest::kScreenFormat;
};

TEST_F(KeyedImageTest, RowsAreEncodedAsTransparentOpaquePairs) {
    EXPECT_EQ(runsOf(4, 16, screen, {0, 0, red, red}), "2,2 ");
    EXPECT_EQ(runsOf(4, 16, screen, {red, 0, red, 0}), "0,1 1,1 1,0 ");
    EXPECT_EQ(runsOf(10, 16, screen, std::vector<std::uint32_t>(10, 0)), "10,0 ");
    EXPECT_EQ(runsOf(10, 16, screen, std::vector<std::uint32_t>(10, red)), "0,10 ");
    EXPECT_EQ(runsOf(2, 16, screen, {red, 0, 0, red}), "0,1 1,0 1,1 ") << "one row after another";
    // 16-bit keys are placed unreduced: (1, 2, 3) is the pixel 0x0843.
    EXPECT_EQ(runsOf(3, 16, screen, {0x0843, red, 0x0843}, {1, 2, 3}), "1,1 1,0 ");
    EXPECT_EQ(runsOf(3, 24, qxtest::kRgbFormat, {0xFF8000, 1, 0xFF8000}, {255, 128, 0}),
              "1,1 1,0 ");
    EXPECT_EQ(runsOf(2, 32, qxtest::kArgbFormat, {0, 0}), "");
}

TEST_F(KeyedImageTest, CursorHalfOutsideTheLeftEdgeDrawsOnlyVisibleOpaquePixels) {
    const std::uint32_t a = rgb15(1, 1, 1), b = rgb15(2, 2, 2), c = rgb15(3, 3, 3),
                        d = rgb15(4, 4, 4);
    auto cursor = std::make_unique<qx::KeyedImage>(
        picture("cursor.png", 4, 2, 16, screen, {0, a, b, 0, c, 0, 0, d}));
    fillScreen(0x7FFF);
    canvas.setClip(qx::Rect(100, 0, 540, 480));
    cursor->setPosition(98, 10);
    cursor->draw(&canvas);
    EXPECT_EQ(surface.pixel(99, 10), 0x7FFF) << "outside the clip";
    EXPECT_EQ(surface.pixel(100, 10), b);
    EXPECT_EQ(surface.pixel(101, 10), 0x7FFF);
    EXPECT_EQ(surface.pixel(100, 11), 0x7FFF);
    EXPECT_EQ(surface.pixel(101, 11), d);
}

TEST_F(KeyedImageTest, UnconvertedDeepPictureDrawsNothing) {
    auto image = std::make_unique<qx::KeyedImage>(
        picture("deep.png", 2, 1, 32, qxtest::kArgbFormat, {0xFFFFFFFF, 0xFFFFFFFF}));
    image->draw(&canvas);
    EXPECT_EQ(surface.pixel(0, 0), 0);
    EXPECT_TRUE(surface.locks.empty());
}

} // namespace
