#include "visual/VisualFixture.h"

#include "core/PointArrays.h"

namespace {

using qxtest::VisualTest;

using CanvasTest = VisualTest;

TEST_F(CanvasTest, LockedRowsStartAtTheOriginAndUnlockAtWhatWasLocked) {
    canvas.setOrigin(5, 7);
    qx::RowBlock* block = canvas.lockRows(0, 9);
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(surface.lockCalls.size(), 1u);
    EXPECT_EQ(surface.lockCalls[0].first, 7);
    EXPECT_EQ(surface.lockCalls[0].last, 16);
    EXPECT_EQ(block->address, surface.row(7) + 10);
    canvas.unlockRows(block);
    ASSERT_EQ(surface.unlockedAddresses.size(), 1u);
    EXPECT_EQ(surface.unlockedAddresses[0], surface.row(7));

    canvas.setOrigin(-3, 0);
    block = canvas.lockRows(0, 0);
    EXPECT_EQ(block->address, surface.row(0) - 6) << "a negative origin moves left";
    canvas.unlockRows(block);
    EXPECT_EQ(surface.unlockedAddresses[1], surface.row(0));
    canvas.unlockRows(nullptr);
    EXPECT_EQ(surface.unlockedAddresses.size(), 2u);
}

TEST_F(CanvasTest, DrawBitmapClipsAndAlwaysAsksForTheCopy) {
    qx::Bitmap bitmap(nullptr);
    bitmap.description = describe(100, 50, 16, qxtest::kScreenFormat);

    canvas.drawBitmap(-20, 0, &bitmap);
    ASSERT_EQ(surface.copies.size(), 1u);
    EXPECT_EQ(surface.copies[0].x, 0);
    EXPECT_EQ(surface.copies[0].y, 0);
    EXPECT_EQ(surface.copies[0].source, qx::Rect(20, 0, 80, 50));
    EXPECT_EQ(surface.copies[0].bitmap, &bitmap);

    canvas.setOrigin(600, 470);
    canvas.drawBitmap(0, 0, &bitmap);
    EXPECT_EQ(surface.copies[1].x, 600);
    EXPECT_EQ(surface.copies[1].source, qx::Rect(0, 0, 40, 10));

    canvas.drawBitmap(100, 100, &bitmap);
    ASSERT_EQ(surface.copies.size(), 3u) << "an invisible bitmap still asks for a copy";
    EXPECT_TRUE(surface.copies[2].source.isEmpty());
}

TEST_F(CanvasTest, BlitAppliesTheOriginButNeverClips) {
    qx::Bitmap bitmap(nullptr);
    canvas.setClip(qx::Rect(0, 0, 10, 10));
    canvas.setOrigin(3, 4);
    canvas.blit(-50, 100, &bitmap, qx::Rect(1, 2, 300, 400));
    ASSERT_EQ(surface.copies.size(), 1u);
    EXPECT_EQ(surface.copies[0].x, -47);
    EXPECT_EQ(surface.copies[0].y, 104);
    EXPECT_EQ(surface.copies[0].source, qx::Rect(1, 2, 300, 400));
}

TEST_F(CanvasTest, SettersAnswerThePreviousValue) {
    qxtest::FakeFont a;
    qxtest::FakeFont b;
    EXPECT_EQ(canvas.setFont(&a.font), nullptr);
    EXPECT_EQ(canvas.setFont(&b.font), &a.font);
    EXPECT_EQ(canvas.setClip(qx::Rect(1, 2, 3, 4)), qx::Rect(0, 0, 640, 480));
    EXPECT_EQ(canvas.getClip(), qx::Rect(1, 2, 3, 4));
    EXPECT_EQ(canvas.setOrigin(5, 6), qx::Point(0, 0));
    EXPECT_EQ(canvas.setOrigin(0, 0), qx::Point(5, 6));
    EXPECT_EQ(canvas.setColour(qx::Colour(1, 2, 3)), qx::Colour());
    EXPECT_EQ(canvas.setColour(qx::Colour(4, 5, 6)), qx::Colour(1, 2, 3));
    ASSERT_EQ(surface.colours.size(), 2u) << "each new colour reaches the surface";
    EXPECT_EQ(surface.colours[1], qx::Colour(4, 5, 6));
}

TEST_F(CanvasTest, TextNeedsAFontAndPolygonsHandTheSurfaceACopy) {
    qxtest::FakeFont font;
    canvas.drawText(1, 2, "nothing");
    EXPECT_TRUE(font.renderer.lines.empty());
    canvas.setFont(&font.font);
    canvas.drawText(1, 2, "hello");
    ASSERT_EQ(font.renderer.lines.size(), 1u);
    EXPECT_EQ(font.renderer.lines[0].text, "hello");

    qx::PointArray points = qx::makePointArray({{1, 1}, {5, 1}, {3, 4}});
    canvas.setOrigin(100, 100);
    canvas.drawPolygon(points);
    ASSERT_EQ(surface.polygons.size(), 1u);
    EXPECT_EQ(surface.polygons[0], (std::vector<qx::Point>{{1, 1}, {5, 1}, {3, 4}}));
    EXPECT_NE(surface.lastPolygonStorage, points.points);
    qx::destroyPointArray(points);
}

TEST_F(CanvasTest, FontForwardsToItsInterfacesAndDefaultsWithoutThem) {
    qxtest::FakeFont rich;
    rich.primary.value = 2.0;
    EXPECT_EQ(rich.font.setStyle(3), 103);
    EXPECT_EQ(rich.font.style(), 3);
    EXPECT_EQ(rich.font.primaryScale(), 2.0);
    rich.font.setSecondaryScale(0.5);
    EXPECT_EQ(rich.secondary.value, 0.5);
    EXPECT_EQ(rich.font.measure("abc"), 60);

    qx::Font bare{};
    EXPECT_EQ(bare.primaryScale(), 1.0);
    EXPECT_EQ(bare.secondaryScale(), 1.0);
    bare.setPrimaryScale(3.0);
    EXPECT_EQ(bare.primaryScale(), 1.0);
    EXPECT_EQ(bare.setStyle(4), 0);
    EXPECT_EQ(bare.style(), 4);
    EXPECT_EQ(bare.measure("abc"), 0);
    EXPECT_EQ(bare.description(), bare.descriptionWords);
}

} // namespace
