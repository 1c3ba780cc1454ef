#include <gtest/gtest.h>

#include "media/FontSystem.h"
#include "media/Surface.h"

namespace {

class Fonts : public ::testing::Test {
protected:
    Fonts() { surface.fill(qx::Colour(0, 0, 0)); }

    // The smallest rectangle holding every lit pixel (empty when none is).
    qx::Rect inked() {
        std::int32_t left = 640, top = 480, right = 0, bottom = 0;
        for (std::int32_t y = 0; y < 480; ++y) {
            for (std::int32_t x = 0; x < 640; ++x) {
                if (surface.pixel(x, y) != 0) {
                    left = std::min(left, x);
                    top = std::min(top, y);
                    right = std::max(right, x + 1);
                    bottom = std::max(bottom, y + 1);
                }
            }
        }
        return left < right ? qx::Rect::fromCorners(left, top, right, bottom) : qx::Rect();
    }
    void draw(const char* text, std::int32_t x, std::int32_t y) {
        font->renderer->draw(&canvas, x, y, text);
    }

    qxhost::Host host;
    qxhost::Surface surface{host};
    qxhost::FontSystem fonts{host};
    qx::Canvas canvas = surface.makeCanvas();
    qx::Font* font = fonts.font("AlternateFont", 16);
};

TEST_F(Fonts, MeasureFollowsTextStyleAndScales) {
    ASSERT_TRUE(fonts.usable());
    EXPECT_GE(font->descriptionWords[qx::kFontLineHeight], 17); // DejaVu's line gap is wide
    EXPECT_LE(font->descriptionWords[qx::kFontLineHeight], 22);
    EXPECT_EQ(fonts.font("AlternateFont", 16), font);
    qx::ITextRenderer* r = font->renderer;
    EXPECT_EQ(r->measure(nullptr), 0);
    EXPECT_EQ(r->measure("ab"), r->measure("a") + r->measure("b"));
    EXPECT_EQ(r->measure("Porte\nab"), r->measure("Porte"));
    EXPECT_EQ(r->measure("caf\xC3\xA9"), r->measure("caf\xE9")); // UTF-8 and Latin-1 alike
    const std::int32_t plain = r->measure("Manche");
    font->styler->setStyle(1);
    EXPECT_GT(r->measure("Manche"), plain);
    EXPECT_EQ(font->styler->setStyle(0), 1);
    font->primaryScaleInterface->set(2.0);
    EXPECT_NEAR(r->measure("Manche"), 2 * plain, 3);
    font->secondaryScaleInterface->set(0.5);
    EXPECT_EQ(r->measure("Manche"), plain);
}

TEST_F(Fonts, DrawBlendsInsideOriginAndClip) {
    canvas.colour = qx::Colour(255, 255, 255);
    draw("Hello", 10, 20);
    const std::int32_t width = font->renderer->measure("Hello");
    const qx::Rect box = inked();
    EXPECT_GE(box.x, 10);
    EXPECT_LE(box.x + box.width, 10 + width + 1);
    EXPECT_GE(box.y, 20);
    EXPECT_LE(box.y + box.height, 20 + font->descriptionWords[qx::kFontLineHeight]);
    EXPECT_GT(box.height, 8);
    // Anti-aliasing leaves grey edges besides full white.
    EXPECT_TRUE(std::any_of(surface.pixels().begin(), surface.pixels().end(),
                            [](std::uint16_t v) { return v != 0 && v != 0x7FFF; }));

    surface.fill(qx::Colour(0, 0, 0));
    canvas.origin = qx::Point(100, 200);
    canvas.clip = qx::Rect(0, 0, 640, box.y + 200 + 5);
    canvas.colour = qx::Colour(255, 0, 0);
    draw("Hello", 10, 20);
    const qx::Rect moved = inked();
    EXPECT_EQ(moved.x, box.x + 100);
    EXPECT_EQ(moved.y, box.y + 200);
    EXPECT_EQ(moved.y + moved.height, box.y + 200 + 5);
    EXPECT_EQ(surface.pixel(moved.x, moved.y) & 0x03FF, 0); // only red

    // Text running off every edge of the screen is cut, not written past it.
    canvas.origin = qx::Point(0, 0);
    canvas.clip = qx::Rect(-100, -100, 1000, 1000);
    draw("Wide text leaving the screen on the right side, far away", 400, 470);
    draw("Left", -15, -8);
}

TEST_F(Fonts, SecondDrawOfTheSameTextRendersNothingNew) {
    draw("Topic", 0, 0);
    const std::size_t rendered = fonts.typeface().rasterisations();
    const std::size_t hits = fonts.typeface().cacheHits();
    EXPECT_GE(rendered, 4u); // "o" appears twice but renders once
    draw("Topic", 0, 0);
    font->renderer->measure("Topic");
    EXPECT_EQ(fonts.typeface().rasterisations(), rendered);
    EXPECT_EQ(fonts.typeface().cacheHits(), hits + 10);
    font->styler->setStyle(1); // another style is another glyph
    draw("T", 0, 0);
    EXPECT_EQ(fonts.typeface().rasterisations(), rendered + 1);
}

TEST(FontFiles, MissingFileIsLoggedAndTextIsEmpty) {
    qxhost::Host host;
    qxhost::Surface surface(host);
    qxhost::FontSystem fonts(host, "/nonexistent/font.ttf", "/nonexistent/bold.ttf");
    EXPECT_FALSE(fonts.usable());
    EXPECT_EQ(host.log().lines().at(0).message.rfind("fonts: cannot open /nonexistent/font.ttf", 0),
              0u);
    qx::Font* font = fonts.font("AlternateFont", 12);
    qx::Canvas canvas = surface.makeCanvas();
    EXPECT_EQ(font->renderer->measure("abc"), 0);
    font->renderer->draw(&canvas, 0, 0, "abc");
    EXPECT_EQ(std::count(surface.pixels().begin(), surface.pixels().end(), 0), 640 * 480);
}

} // namespace
