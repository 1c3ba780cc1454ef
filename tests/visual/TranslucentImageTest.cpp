#include "visual/VisualFixture.h"

#include <memory>

#include "visual/TranslucentImage.h"

namespace {

using qxtest::rgb15;

TEST(MixTables, EntriesAtTheListedPoints) {
    qx::MixTables tables(0.5);
    EXPECT_EQ(tables.mixBlue[0 * 32 + 31], 15) << "15.5 truncated";
    EXPECT_EQ(tables.mixRed[0 * 32 + 31], 15 << 10);
    tables.build(0.0001);
    EXPECT_EQ(tables.mixGreen[31 * 32 + 0], 30 << 5) << "31 * 0.9999 drops a unit";
    EXPECT_EQ(tables.mixBlue[31 * 32 + 31], 31);
}

using TranslucentImageTest = qxtest::VisualTest;

TEST_F(TranslucentImageTest, OneCopiesClippedBelowTheThresholdNothingJustBelowOneMixesUnclipped) {
    auto image = std::make_unique<qx::TranslucentImage>(
        20, 30,
        picture("porte.png", 2, 2, 16, qxtest::kScreenFormat,
                std::vector<std::uint32_t>(4, rgb15(31, 31, 31))));
    fillScreen(rgb15(0, 10, 31));
    image->setOpacity(0.5);
    image->setOpacity(1.0);
    canvas.setClip(qx::Rect(21, 0, 100, 100));
    image->draw(&canvas);
    ASSERT_EQ(surface.copies.size(), 1u);
    EXPECT_EQ(surface.copies[0].source, qx::Rect(1, 0, 1, 2));

    image->setOpacity(0.00005);
    image->draw(&canvas);
    EXPECT_TRUE(surface.lockCalls.empty());

    image->setOpacity(0.999999);
    canvas.setClip(qx::Rect(0, 0, 1, 1));
    image->draw(&canvas);
    EXPECT_EQ(surface.copies.size(), 1u);
    EXPECT_EQ(surface.pixel(21, 31), rgb15(30, 30, 31)) << "31 * 0.999999 + d * 0.000001";
    EXPECT_EQ(surface.pixel(22, 31), rgb15(0, 10, 31));
}

} // namespace
