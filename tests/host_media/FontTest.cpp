#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "media/FontSystem.h"
#include "media/GlyphInk.h"
#include "media/HostFont.h"
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

// Texts too long to keep glyph by glyph are kept whole, measured by a look-up and drawn from
// near the clip's left edge to its right: every width and pixel as when they are laid out
// afresh at each call. Seeded cases, and a line cut by the clip at every few pixels.
TEST_F(Fonts, LongTextsMeasureAndDrawAsLaidOutAfresh) {
    qxhost::FontSystem afreshFonts{host};
    qx::Font* afresh = afreshFonts.font("AlternateFont", 16);
    static_cast<qxhost::HostFont*>(afresh->renderer)->keepLongTexts(0);
    canvas.colour = qx::Colour(255, 255, 255);
    int inked = 0;
    const auto expectSame = [&](const std::string& text, std::int32_t x, std::int32_t y,
                                const std::string& what) {
        surface.fill(qx::Colour(0, 0, 0));
        afresh->renderer->draw(&canvas, x, y, text.c_str());
        const std::vector<std::uint16_t> expected = surface.pixels();
        inked += this->inked().isEmpty() ? 0 : 1;
        // Laid out by the first draw, looked up by the second.
        for (int pass = 0; pass < 2; ++pass) {
            surface.fill(qx::Colour(0, 0, 0));
            draw(text.c_str(), x, y);
            EXPECT_TRUE(surface.pixels() == expected) << what << ", pass " << pass;
        }
        EXPECT_EQ(font->renderer->measure(text.c_str()), afresh->renderer->measure(text.c_str()))
            << what;
    };
    // Both fonts in the same style and scale.
    const auto set = [&](std::int32_t style, double scale) {
        for (qx::Font* f : {font, afresh}) {
            f->styler->setStyle(style);
            f->primaryScaleInterface->set(scale);
        }
    };

    std::mt19937 random(1313);
    const auto pick = [&random](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    const char* const pieces[] = {
        "W",    "i",    " ", "Porte ", "caf\xC3\xA9", "\xE2\x82\xAC", "\xE6\xBC\xA2",
        "\x01", "\xFF", "\n"};
    for (int c = 0; c < 60; ++c) {
        std::string text;
        const int lines = pick(0, 3) == 0 ? 40 : 1;
        // Some texts of one byte a character, so that round offsets are places a long text
        // keeps its pen at.
        const bool bytes = lines == 1 && pick(0, 1) == 0;
        for (std::size_t length = static_cast<std::size_t>(pick(300, 6000));
             text.size() < length;) {
            const int piece = pick(0, lines > 1 ? 9 : 8);
            text += bytes && piece >= 4 && piece <= 6 ? "W" : pieces[piece];
        }
        set(pick(0, 1), pick(0, 2) == 0 ? 1.5 : 1.0);
        canvas.clip = pick(0, 2) == 0
                          ? qx::Rect(0, 0, 640, 480)
                          : qx::Rect(pick(-10, 600), pick(-10, 460), pick(0, 300), pick(0, 300));
        const std::int32_t width = font->renderer->measure(text.c_str());
        std::int32_t x = pick(0, 2) == 0 ? pick(-width - 50, -width + 700) : pick(-3000, 700);
        if (bytes) {
            // A character at a round offset starts near the clip's left edge.
            const std::size_t at =
                std::min<std::size_t>(text.size() - 1, std::size_t(pick(1, 5)) << pick(8, 11));
            x = canvas.clip.x - pick(-30, 24) -
                afresh->renderer->measure(text.substr(0, at).c_str());
        }
        expectSame(text, x, pick(canvas.clip.y - 20 * lines, canvas.clip.y + 40),
                   "case " + std::to_string(c));
    }
    EXPECT_GT(inked, 30) << "most cases show some of their text";
    // Texts without ink, kept short or long, left of the screen: nothing to place.
    canvas.clip = qx::Rect(0, 0, 640, 480);
    surface.fill(qx::Colour(0, 0, 0));
    for (const std::string& blank : {std::string(" \x01 "), std::string(3000, ' ')}) {
        draw(blank.c_str(), -5, 10);
    }
    EXPECT_TRUE(this->inked().isEmpty());
}

// A text is known by its address, but measured and drawn as the bytes there are now: changed
// in place (shorter, longer, same length), or ending at a page's end.
TEST_F(Fonts, KnownAddressesFollowTheirBytes) {
    qx::ITextRenderer* r = font->renderer;
    std::vector<char> pages(3 * 4096);
    const auto pageEnd = (reinterpret_cast<std::uintptr_t>(pages.data()) / 4096 + 2) * 4096;
    char* const atPageEnd =
        pages.data() + (pageEnd - reinterpret_cast<std::uintptr_t>(pages.data()));
    // Each text at an address of its own, learnt once, is the reference.
    const std::vector<std::string> texts = {"Man", "Manche", "Mbnche", "Manche 12345678",
                                            "",    "Porte 7"};
    char inPlace[40] = {};
    for (char* place : {inPlace, atPageEnd - 7, atPageEnd - 15, atPageEnd - 16}) {
        for (const std::string& text : texts) {
            std::memcpy(place, text.c_str(), text.size() + 1);
            for (int again = 0; again < 2; ++again) {
                EXPECT_EQ(r->measure(place), r->measure(text.c_str())) << text;
            }
        }
    }
    // More texts than are known at once, walked in order as a frame walks them: each keeps
    // its width once the first are forgotten.
    std::vector<std::string> many;
    for (int i = 0; i < 1500; ++i) {
        many.push_back(std::string(static_cast<std::size_t>(i % 9), 'W') + std::to_string(i));
    }
    std::vector<std::int32_t> widths;
    for (const std::string& text : many) {
        widths.push_back(r->measure(text.c_str()));
    }
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t i = 0; i < many.size(); ++i) {
            ASSERT_EQ(r->measure(many[i].c_str()), widths[i]) << many[i];
            ASSERT_EQ(r->measure(std::string(many[i]).c_str()), widths[i]) << many[i];
        }
    }
    // Drawn off the clip, then inside it, the same text at the same place paints as it should.
    std::memcpy(inPlace, "Hello", 6);
    canvas.colour = qx::Colour(255, 255, 255);
    draw(inPlace, 700, 20);
    EXPECT_EQ(std::count(surface.pixels().begin(), surface.pixels().end(), 0), 640 * 480);
    std::memcpy(inPlace, "Hellp", 6);
    draw(inPlace, 10, 20);
    const std::vector<std::uint16_t> drawn = surface.pixels();
    surface.fill(qx::Colour(0, 0, 0));
    draw(std::string("Hellp").c_str(), 10, 20);
    EXPECT_EQ(surface.pixels(), drawn);
}

// A text known at its address is turned away without being laid out when its ink misses the
// clip: at every place around a bar-like clip, and with an origin, it paints what the same
// text at a new address paints.
TEST_F(Fonts, KnownTextsMissTheClipOnlyWhenNothingShows) {
    const char* known = "Topic 42";
    canvas.colour = qx::Colour(255, 255, 255);
    canvas.clip = qx::Rect(28, 400, 584, 80);
    std::deque<std::string> copies;
    for (const qx::Point origin : {qx::Point(0, 0), qx::Point(-30, 12)}) {
        canvas.origin = origin;
        for (std::int32_t y = 370; y <= 490; y += 12) {
            for (std::int32_t x = -110; x <= 680; x += 11) {
                surface.fill(qx::Colour(0, 0, 0));
                draw(known, x, y);
                const std::vector<std::uint16_t> drawn = surface.pixels();
                // A copy at an address never drawn before is laid out in full.
                surface.fill(qx::Colour(0, 0, 0));
                draw(copies.emplace_back(known).c_str(), x, y);
                ASSERT_EQ(drawn, surface.pixels()) << x << "," << y;
            }
        }
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
