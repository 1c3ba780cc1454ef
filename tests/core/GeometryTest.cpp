#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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

constexpr std::int32_t kMax = INT32_MAX;
constexpr std::int32_t kMin = INT32_MIN;

TEST(Rect, EdgesBeyondThirtyTwoBitsNeitherWrapNorOverflow) {
    const qx::Rect far(kMax - 5, kMax - 5, 100, 100);
    EXPECT_TRUE(far.contains(kMax, kMax));
    EXPECT_FALSE(far.contains(kMax - 6, kMax));
    EXPECT_FALSE(qx::Rect(kMax, 0, kMax, 10).contains(kMin, 5));
    EXPECT_TRUE(qx::Rect(kMin, kMin, kMax, kMax).contains(-2, -2));
    EXPECT_FALSE(qx::Rect(kMin, kMin, kMax, kMax).contains(-1, -1));
    EXPECT_EQ(far.intersect(qx::Rect(0, 0, 640, 480)), qx::Rect(kMax - 5, kMax - 5, 0, 0));
    EXPECT_EQ(qx::Rect(0, 0, 640, 480).intersect(qx::Rect(kMin, -5, kMax, kMax)),
              qx::Rect(0, 0, 0, 480));
    EXPECT_EQ(qx::Rect(kMin, 0, kMax, 1).intersect(qx::Rect(kMin, 0, kMax, 1)),
              qx::Rect(kMin, 0, kMax, 1));
    EXPECT_EQ(qx::Rect::fromCorners(28, kMin, 612, 480), qx::Rect(28, kMin, 584, kMax));
    EXPECT_EQ(qx::Rect::fromCorners(kMax, 0, kMin, 0).width, kMin);
    qx::Point p(kMax - 1, kMin + 1);
    p.offset(5, -5);
    EXPECT_EQ(p, qx::Point(kMax, kMin));
    EXPECT_EQ(qx::Size(kMax, 2).area(), kMax);
    EXPECT_EQ(qx::Size(kMin, 2).area(), kMin);
}

TEST(Coordinates, SumsAndDoublesStickAtTheEndsOfTheRange) {
    EXPECT_EQ(qx::saturated(qx::wide(kMax) + 1), kMax);
    EXPECT_EQ(qx::saturated(qx::wide(kMin) - kMax), kMin);
    EXPECT_EQ(qx::saturated(qx::wide(kMax) + kMin), -1);
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<double, std::int32_t> cases[] = {
        {0.9, 0},     {-0.9, 0},        {2147483646.7, kMax - 1}, {-2147483647.9, kMin + 1},
        {1e10, kMax}, {-1e10, kMin},    {-2147483648.9, kMin},    {inf, kMax},
        {-inf, kMin}, {std::nan(""), 0}};
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(qx::truncated(value), expected) << value;
    }
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
