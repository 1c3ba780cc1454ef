#include "visual/VisualFixture.h"

#include "visual/AlphaImage.h"
#include "visual/KeyedImage.h"
#include "visual/TranslucentImage.h"

namespace {

using CanvasTest = qxtest::VisualTest;

TEST_F(CanvasTest, LockedRowsStartAtTheOriginAndUnlockAtWhatWasLocked) {
    canvas.setOrigin(5, 7);
    qx::RowBlock* block = canvas.lockRows(0, 9);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(surface.lockCalls.at(0).first, 7);
    EXPECT_EQ(surface.lockCalls.at(0).last, 16);
    EXPECT_EQ(block->address, surface.row(7) + 10);
    canvas.unlockRows(block);
    EXPECT_EQ(surface.unlockedAddresses.at(0), surface.row(7));
}

TEST_F(CanvasTest, DrawBitmapClipsAndAlwaysAsksForTheCopy) {
    qx::Bitmap bitmap(nullptr);
    bitmap.description = describe(100, 50, 16, qxtest::kScreenFormat);
    canvas.drawBitmap(-20, 0, &bitmap);
    canvas.setOrigin(600, 470);
    canvas.drawBitmap(0, 0, &bitmap);
    canvas.drawBitmap(100, 100, &bitmap);
    canvas.blit(1, 2, &bitmap, qx::Rect(3, 4, 300, 400));
    ASSERT_EQ(surface.copies.size(), 4u) << "a bitmap outside the clip still asks for a copy";
    EXPECT_EQ(surface.copies[0].source, qx::Rect(20, 0, 80, 50));
    EXPECT_EQ(qx::Point(surface.copies[0].x, surface.copies[0].y), qx::Point(0, 0));
    EXPECT_EQ(surface.copies[1].source, qx::Rect(0, 0, 40, 10));
    EXPECT_EQ(qx::Point(surface.copies[1].x, surface.copies[1].y), qx::Point(600, 470));
    EXPECT_TRUE(surface.copies[2].source.isEmpty());
    EXPECT_EQ(surface.copies[3].source, qx::Rect(3, 4, 300, 400)) << "blit does not clip";
    EXPECT_EQ(qx::Point(surface.copies[3].x, surface.copies[3].y), qx::Point(601, 472));
}

TEST_F(CanvasTest, PicturesPlacedBeyondTheRangeTouchNoPixel) {
    constexpr std::int32_t kMax = INT32_MAX, kMin = INT32_MIN;
    const std::vector<std::uint32_t> lit(64, 0x7FFF);
    qx::ImageElement plain(picture("plain.png", 8, 8, 16, qxtest::kScreenFormat, lit));
    qx::AlphaImage mask(picture("mask.png", 8, 8, 8, qxtest::kAlphaFormat, lit));
    qx::TranslucentImage faded(0, 0, picture("faded.png", 8, 8, 16, qxtest::kScreenFormat, lit));
    faded.setOpacity(0.5);
    qx::KeyedImage keyed(picture("keyed.png", 8, 8, 16, qxtest::kScreenFormat, lit));
    const std::vector<std::uint8_t> before = surface.memory;
    // Origin and position; summed in 32 bits, the first would wrap round to (-2, -2).
    const std::pair<qx::Point, qx::Point> places[] = {{{kMax, kMax}, {kMax, kMax}},
                                                      {{kMin, kMin}, {kMin, kMin}},
                                                      {{0, 0}, {kMax - 4, kMin + 4}},
                                                      {{kMax, 0}, {1000, 0}},
                                                      {{kMin + 4, 9}, {-100, 5}}};
    for (const auto& [origin, at] : places) {
        for (qx::VisibleElement* element :
             std::initializer_list<qx::VisibleElement*>{&plain, &mask, &faded, &keyed}) {
            canvas.setOrigin(origin.x, origin.y);
            element->setPosition(at.x, at.y);
            element->draw(&canvas);
        }
    }
    EXPECT_TRUE(surface.memory == before);
    EXPECT_TRUE(surface.lockCalls.empty());
    for (const auto& copy : surface.copies) {
        EXPECT_TRUE(copy.source.isEmpty()) << copy.source.x << "," << copy.source.y;
    }
}

} // namespace
