#include <gtest/gtest.h>

#include "core/Geometry.h"
#include "runtime/Host.h"

namespace {

TEST(Rect, ContainsIsHalfOpen) {
    const qx::Rect r(0, 0, 10, 10);
    EXPECT_TRUE(r.contains(0, 0));
    EXPECT_TRUE(r.contains(9, 9));
    EXPECT_FALSE(r.contains(10, 0));
    EXPECT_FALSE(r.contains(0, 10));
    EXPECT_FALSE(r.contains(-1, 5));
    EXPECT_FALSE(qx::Rect(5, 5, 0, 3).contains(5, 5));
}

TEST(Rect, IntersectionKeepsTheCornerOfDisjointRectangles) {
    const qx::Rect a(0, 0, 10, 10);
    EXPECT_EQ(a.intersect(qx::Rect(5, 5, 10, 10)), qx::Rect(5, 5, 5, 5));
    EXPECT_EQ(a.intersect(qx::Rect(20, 20, 5, 5)), qx::Rect(20, 20, 0, 0));
    EXPECT_EQ(qx::Rect(-20, 0, 100, 50).intersect(qx::Rect(0, 0, 640, 480)),
              qx::Rect(0, 0, 80, 50));
    EXPECT_EQ(qx::Rect::fromCorners(28, 410, 612, 480), qx::Rect(28, 410, 584, 70));
    EXPECT_EQ(qx::Rect(qx::Point(1, 2), qx::Size(3, 4)), qx::Rect(1, 2, 3, 4));
}

TEST(PointArray, CopiesAreIndependent) {
    qx::PointArray a = qx::makePointArray({{1, 2}, {3, 4}, {5, 6}});
    qx::PointArray b = qx::copyPointArray(a);
    ASSERT_EQ(b.count, 3);
    a.points[0] = qx::Point(9, 9);
    EXPECT_EQ(b.points[0], qx::Point(1, 2));
    EXPECT_EQ(b.points[2], qx::Point(5, 6));
    qx::destroyPointArray(a);
    qx::destroyPointArray(b);
    EXPECT_EQ(b.count, 0);
    EXPECT_EQ(b.points, nullptr);
}

TEST(Colour, PixelValuePacksByTheFormatName) {
    qxhost::Host host;
    auto id = [&](const char* name) { return host.atomTable()->identifierOf(name); };
    const qx::Colour orange(255, 128, 0);
    EXPECT_EQ(orange.pixelValue(id("rrrrrrrrggggggggbbbbbbbb")), 0xFF8000u);
    EXPECT_EQ(orange.pixelValue(id("-rrrrrgggggbbbbb")), 0x7E00u);
    qx::Colour c(12, 34, 56);
    c.alpha = 200;
    EXPECT_EQ(c.pixelValue(id("aaaaaaaa")), 200u);
    EXPECT_EQ(qx::Colour(255, 255, 255).pixelValue(id("-rrrrrgggggbbbbb")), 0x7FFFu);
    EXPECT_EQ(qx::Colour(0, 255, 0).pixelValue(id("rrrrrggggggbbbbb")), 0x07E0u);
    // Bits of a name's unknown characters stay 0.
    EXPECT_EQ(qx::Colour(255, 255, 255).pixelValue(id("--------bbbbbbbb")), 0xFFu);
    // Names longer than a 32-bit pixel keep their low 32 bits; the rest falls off.
    EXPECT_EQ(qx::Colour(255, 0, 255).pixelValue(id("rrrrrrrr--------bbbbbbbb----------------")),
              0xFF0000u);
    EXPECT_EQ(qx::Colour(1, 2, 3).pixelValue(12345), 0u);
}

} // namespace
