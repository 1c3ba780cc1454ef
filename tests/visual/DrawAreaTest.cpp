#include "visual/VisualFixture.h"

#include <memory>

#include "visual/AlphaImage.h"
#include "visual/DrawArea.h"
#include "visual/KeyedImage.h"
#include "visual/TranslucentImage.h"

namespace {

using qxtest::FakeBitmapFactory;
using DrawAreaTest = qxtest::VisualTest;

const qx::Rect kScreen(0, 0, 640, 480);

TEST_F(DrawAreaTest, PlacesThePartPastTheOriginAndCutsItToTheBounds) {
    canvas.origin = qx::Point(5, 7);
    // Part (2, 3, 10, 10) at (-10, 0) covers surface columns -5 to 4; the screen cuts 5 off.
    const auto area = qx::placeDraw(canvas, qx::Point(-10, 0), qx::Rect(2, 3, 10, 10), kScreen);
    EXPECT_EQ(area.visible, qx::Rect(0, 7, 5, 10));
    EXPECT_EQ(area.source, qx::Point(7, 3));
    EXPECT_TRUE(
        qx::placeDraw(canvas, qx::Point(635, 0), qx::Rect(0, 0, 10, 10), kScreen).isEmpty());
    EXPECT_TRUE(qx::placeDraw(canvas, qx::Point(0, 0), qx::Rect(0, 0, 0, 10), kScreen).isEmpty());
}

TEST_F(DrawAreaTest, LocksAreAlwaysGivenBackAndNothingIsLockedAfterARefusal) {
    auto d = describe(4, 4, 16, qxtest::kScreenFormat);
    qx::Bitmap picture(&d);
    qxtest::FakeBitmap* fake = FakeBitmapFactory::of(&picture);
    const qx::DrawArea area{qx::Rect(10, 20, 3, 2), qx::Point(1, 1)};
    {
        qx::DrawLocks locks(canvas, area);
        const qx::PixelRows screen = locks.screen();
        const qx::PixelRows rows = locks.picture(&picture, 16);
        ASSERT_TRUE(locks.ready());
        EXPECT_EQ(screen.first, surface.row(20) + 20);
        EXPECT_EQ(rows.row<std::uint8_t>(1), fake->pixel(1, 2));
    }
    EXPECT_TRUE(surface.locks.empty());
    EXPECT_TRUE(fake->locks.empty());

    surface.lockCalls.clear();
    {
        qx::DrawLocks locks(canvas, area);
        locks.picture(&picture, 8); // a picture of another depth is refused
        locks.screen();
        EXPECT_FALSE(locks.ready());
    }
    EXPECT_TRUE(surface.lockCalls.empty());
    EXPECT_TRUE(fake->locks.empty());
}

// The draws write 16-bit pixels: a 24- or 32-bit screen is left alone, its rows given back.
TEST_F(DrawAreaTest, DrawsWriteOnlyA16BitScreen) {
    const std::vector<std::uint32_t> white(2, 0x7FFF);
    auto mask = std::make_unique<qx::AlphaImage>(
        picture("qmark.png", 2, 1, 8, qxtest::kAlphaFormat, {255, 255}));
    auto cursor = std::make_unique<qx::KeyedImage>(
        picture("cursor.png", 2, 1, 16, qxtest::kScreenFormat, white));
    auto door = std::make_unique<qx::TranslucentImage>(
        0, 0, picture("porte.png", 2, 1, 16, qxtest::kScreenFormat, white));
    door->setOpacity(0.5);
    for (const std::int32_t bits : {24, 32, 16}) {
        surface.lockedBits = bits;
        for (qx::VisibleElement* image :
             std::initializer_list<qx::VisibleElement*>{mask.get(), cursor.get(), door.get()}) {
            surface.setPixel(1, 0, 0);
            image->draw(&canvas);
            EXPECT_EQ(surface.pixel(1, 0) != 0, bits == 16) << bits << " bits";
            EXPECT_TRUE(surface.locks.empty());
        }
    }
}

} // namespace
