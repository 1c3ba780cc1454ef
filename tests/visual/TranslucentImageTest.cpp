#include "visual/VisualFixture.h"

#include <memory>

#include "visual/TranslucentImage.h"

namespace {

using qxtest::rgb15;
using qxtest::VisualTest;

class TranslucentImageTest : public VisualTest {
protected:
    std::unique_ptr<qx::TranslucentImage> door(std::uint32_t colour) {
        return std::make_unique<qx::TranslucentImage>(
            20, 30,
            picture("porte.png", 2, 2, 16, qxtest::kScreenFormat,
                    std::vector<std::uint32_t>(4, colour)));
    }
};

TEST(MixTables, EntriesAtTheListedPoints) {
    qx::MixTables tables(0.5);
    EXPECT_EQ(tables.mixBlue[0 * 32 + 31], 15) << "15.5 truncated";
    EXPECT_EQ(tables.mixRed[0 * 32 + 31], 15 << 10);
    EXPECT_EQ(tables.mixGreen[31 * 32 + 0], 15 << 5);
    tables.build(1.0);
    EXPECT_EQ(tables.mixBlue[7 * 32 + 19], 19);
    tables.build(0.0001); // 31 * 0.9999 + 0 = 30.9969 drops a unit
    EXPECT_EQ(tables.mixBlue[31 * 32 + 0], 30);
    EXPECT_EQ(tables.mixBlue[31 * 32 + 31], 31);
}

TEST_F(TranslucentImageTest, OpacityOneIsThePlainClippedDraw) {
    auto image = door(rgb15(31, 31, 31));
    EXPECT_EQ(image->position, qx::Point(20, 30));
    EXPECT_EQ(image->opaque, 1);
    image->setOpacity(0.5);
    image->setOpacity(1.0);
    canvas.setClip(qx::Rect(21, 0, 100, 100));
    image->draw(&canvas);
    ASSERT_EQ(surface.copies.size(), 1u);
    EXPECT_EQ(surface.copies[0].source, qx::Rect(1, 0, 1, 2));
    EXPECT_TRUE(surface.lockCalls.empty());
}

TEST_F(TranslucentImageTest, NearZeroDrawsNothingAndNearOneMixes) {
    auto image = door(rgb15(31, 31, 31));
    image->setOpacity(0.00005);
    EXPECT_EQ(image->invisible, 1);
    image->draw(&canvas);
    EXPECT_TRUE(surface.copies.empty());
    EXPECT_TRUE(surface.lockCalls.empty());

    fillScreen(rgb15(0, 10, 31));
    image->setOpacity(0.999999);
    EXPECT_EQ(image->opaque, 0);
    EXPECT_EQ(image->invisible, 0);
    image->draw(&canvas);
    EXPECT_TRUE(surface.copies.empty()) << "the tables are used, not the plain draw";
    // 31 * 0.999999 + d * 0.000001 stays below 31 unless d is 31.
    EXPECT_EQ(surface.pixel(20, 30), rgb15(30, 30, 31));
    EXPECT_EQ(surface.pixel(19, 30), rgb15(0, 10, 31));
}

TEST_F(TranslucentImageTest, HalfOpacityMixesEveryPixelWithTheScreen) {
    auto image = door(rgb15(31, 0, 31));
    fillScreen(rgb15(0, 31, 1));
    canvas.setOrigin(2, 3);
    canvas.setClip(qx::Rect(0, 0, 1, 1));
    image->setOpacity(0.5);
    image->draw(&canvas);
    for (int y = 33; y < 35; ++y) {
        for (int x = 22; x < 24; ++x) {
            EXPECT_EQ(surface.pixel(x, y), rgb15(15, 15, 16)) << "unclipped at " << x << "," << y;
        }
    }
    EXPECT_EQ(surface.pixel(24, 33), rgb15(0, 31, 1));
    EXPECT_TRUE(surface.locks.empty());
}

} // namespace
