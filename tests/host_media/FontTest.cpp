#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/FontSystem.h"
#include "media/GlyphInk.h"
#include "media/Surface.h"

namespace {

class Fonts : public ::testing::Test {
protected:
    // The smallest rectangle holding every lit pixel.
    qx::Rect inked() {
        std::int32_t left = 640, top = 480, right = 0, bottom = 0;
        for (std::int32_t i = 0; i < 640 * 480; ++i) {
            if (surface.pixels()[static_cast<std::size_t>(i)] != 0) {
                left = std::min(left, i % 640), right = std::max(right, i % 640 + 1);
                top = std::min(top, i / 640), bottom = std::max(bottom, i / 640 + 1);
            }
        }
        return qx::Rect::fromCorners(left, top, right, bottom);
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

TEST_F(Fonts, DrawBlendsInsideOriginAndClipAndCachesGlyphs) {
    canvas.colour = qx::Colour(255, 255, 255);
    draw("Hello", 10, 20);
    const std::size_t rendered = fonts.typeface().rasterisations();
    EXPECT_EQ(rendered, 4u); // "l" appears twice but renders once
    const qx::Rect box = inked();
    EXPECT_GE(box.x, 10);
    EXPECT_LE(box.x + box.width, 10 + font->renderer->measure("Hello") + 1);
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
    EXPECT_EQ(fonts.typeface().rasterisations(), rendered);
    EXPECT_EQ(inked(), qx::Rect(box.x + 100, box.y + 200, box.width, 5));
    EXPECT_EQ(surface.pixel(box.x + 100, box.y + 200) & 0x03FF, 0); // only red
    font->styler->setStyle(1); // another style is another glyph
    draw("H", 0, 0);
    EXPECT_EQ(fonts.typeface().rasterisations(), rendered + 1);

    // Text running off every edge of the screen is cut, not written past it.
    canvas.origin = qx::Point(0, 0);
    canvas.clip = qx::Rect(-100, -100, 1000, 1000);
    draw("Wide text leaving the screen on the right side, far away", 400, 470);
    draw("Left", -15, -8);
}

// Short texts are laid out once and kept; long ones are laid out at every call. Both give the
// same pixels, drawn the first time or again.
TEST_F(Fonts, KeptTextsDrawAsTextsLaidOutAfresh) {
    canvas.colour = qx::Colour(255, 255, 255);
    const std::string kept = "Porte 7\nManche";
    const std::string fresh = kept + "\n" + std::string(300, 'x');
    canvas.clip = qx::Rect(0, 0, 640, 30 + 2 * font->descriptionWords[qx::kFontLineHeight]);
    for (int pass = 0; pass < 2; ++pass) {
        surface.fill(qx::Colour(0, 0, 0));
        draw(kept.c_str(), 20, 30);
        const std::vector<std::uint16_t> keptPixels = surface.pixels();
        surface.fill(qx::Colour(0, 0, 0));
        draw(fresh.c_str(), 20, 30);
        EXPECT_EQ(surface.pixels(), keptPixels) << "pass " << pass;
        EXPECT_NE(inked().width, 0);
    }
}

// Glyph edges on the screen's pixels are looked up in tables made per ink; every coverage,
// channel value and a few inks against the formula: (under x (255 - c) + ink x c + 127) / 255
// on 8-bit channels (five bits widened by repeating their top bits), back to five bits; the
// unused top bit is cleared wherever coverage is not 0.
TEST(GlyphInk, ScreenPixelsTakeTheMixOfEveryCoverage) {
    qxhost::GlyphInk ink;
    ink.setLayout(qxhost::PixelLayout::parse(qxhost::kScreenFormat));
    ASSERT_TRUE(ink.drawable());
    const auto wide = [](std::uint32_t v) { return (v << 3) | (v >> 2); };
    for (const qxhost::Rgba colour : {qxhost::Rgba{255, 255, 255}, qxhost::Rgba{0, 0, 0},
                                      qxhost::Rgba{96, 96, 96}, qxhost::Rgba{17, 200, 3}}) {
        ink.setColour(colour);
        for (std::uint32_t c = 0; c < 256; ++c) {
            std::vector<std::uint8_t> coverage(32, static_cast<std::uint8_t>(c));
            std::vector<std::uint16_t> row(32);
            for (std::uint32_t v = 0; v < 32; ++v) {
                row[v] =
                    static_cast<std::uint16_t>((v << 10) | ((31 - v) << 5) | v | (v & 1) << 15);
            }
            const std::vector<std::uint16_t> under = row;
            // Boxes of eight and a few more, too narrow for eight, and eight and a few.
            for (const auto& [from, to] :
                 {std::pair{0, 13}, std::pair{13, 18}, std::pair{18, 32}}) {
                ink.blendBox(coverage.data(), 32, reinterpret_cast<std::uint8_t*>(row.data()), 64,
                             from, to, 1);
            }
            for (std::uint32_t v = 0; v < 32; ++v) {
                const auto mix = [&](std::uint32_t channel, std::uint32_t over) {
                    return ((wide(channel) * (255 - c) + over * c + 127) / 255) >> 3;
                };
                const std::uint32_t expected = c == 0 ? under[v]
                                                      : mix(v, colour.red) << 10 |
                                                            mix(31 - v, colour.green) << 5 |
                                                            mix(v, colour.blue);
                ASSERT_EQ(row[v], expected) << "coverage " << c << ", value " << v;
            }
        }
    }
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
