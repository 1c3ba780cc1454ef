// The draws' shortcuts against their formulas: inputs shaped to take each shortcut and each
// way around it (runs of alpha 0 and 255 on and off the vector blocks, opacities with and
// without a linear form, the keyed span table and the pair walk), on every path.
#include "visual/DrawCases.h"

#include <memory>
#include <utility>

#include "visual/AlphaImage.h"
#include "visual/KeyedImage.h"
#include "visual/TranslucentImage.h"

namespace {

using qxtest::rgb15;
using DrawFastPathTest = qxtest::DrawCaseTest;

// Long runs of 0, 255, one in-between alpha and mixed ones (opaque runs long enough to end
// anywhere in a 32-alpha step of their search), at widths and clip edges that put the runs on
// and off the 8- and 16-pixel blocks, at opacities where alpha 255 copies and
// where it does not, where one linear form fits, where each alpha has its own and where some
// alphas (at 0.6375) have none; those alphas are picked often, also where the last block of
// a row overlaps the blocks before it.
TEST_F(DrawFastPathTest, AlphaRunsBlendAsEachPixelWould) {
    std::vector<int> formless;
    const auto tables = std::make_unique<qx::BlendTables>(0.6375);
    for (int a = 1; a < 255; ++a) {
        if ((tables->rowForms[a] & qx::BlendTables::kNoRowForm) != 0) {
            formless.push_back(a);
        }
    }
    ASSERT_FALSE(formless.empty());
    forEachCase(200, [&](std::uint64_t seed) {
        qxtest::Dice dice(seed);
        qxtest::DrawCase c;
        c.kind = "alpha runs";
        c.seed = seed;
        const bool colour = dice.between(0, 1) == 1;
        c.bits = colour ? 32 : 8;
        c.width = dice.between(1, 180);
        c.height = dice.between(1, 6);
        c.source = qx::Rect(0, 0, c.width, c.height);
        while (static_cast<int>(c.pixels.size()) < c.width * c.height) {
            const int kind = dice.between(0, 3);
            const int run = dice.between(1, 90);
            const int one = dice.between(0, 1) == 0
                                ? formless[static_cast<std::size_t>(
                                      dice.between(0, static_cast<int>(formless.size()) - 1))]
                                : dice.between(1, 254);
            for (int i = 0; i < run; ++i) {
                const auto a = static_cast<std::uint32_t>(kind == 0   ? 0
                                                          : kind == 1 ? 255
                                                          : kind == 2 ? one
                                                                      : dice.between(1, 254));
                c.pixels.push_back(
                    colour ? a << 24 | static_cast<std::uint32_t>(dice.between(0, 0xFFFFFF)) : a);
            }
        }
        c.pixels.resize(static_cast<std::size_t>(c.width * c.height));
        c.opacity = dice.pick({1.0, 0.6, 0.999, 0.25, 0.6375});
        c.clip = qx::Rect(dice.pick({0, 0, dice.between(10, 21)}), 0, 640, 480);
        c.at = qx::Point(10, 10);
        watch(dice, c);
        checkAlpha(c);
    });
}

// Every pair of destination and source channel values (the picture's x gives the source, the
// screen row the destination) at opacities that have a linear form and at ones that do not.
TEST_F(DrawFastPathTest, MixedDrawCoversEveryChannelPair) {
    std::vector<std::uint32_t> v;
    for (int i = 0; i < 32 * 32; ++i) {
        v.push_back(rgb15(i % 32, 31 - i % 32, (i % 32 + i / 32) & 31));
    }
    auto image = std::make_unique<qx::TranslucentImage>(
        4, 4, picture("door.png", 32, 32, 16, qxtest::kScreenFormat, v));
    const auto screen = [](int y) { return rgb15(y, y ^ 7, 31 - y); };
    int linear = 0, lookedUp = 0;
    forEachPath([&] {
        for (double opacity : {0.5, 0.6, 0.1, 0.3, 0.7, 0.37, 0.0001, 0.999999, 0.123456789}) {
            SCOPED_TRACE("opacity " + std::to_string(opacity));
            image->setOpacity(opacity);
            (image->mixTables.linear ? linear : lookedUp) += 1;
            for (int i = 0; i < 32 * 32; ++i) {
                surface.setPixel(4 + i % 32, 4 + i / 32, screen(i / 32));
            }
            image->draw(&canvas);
            for (int i = 0; i < 32 * 32; ++i) {
                ASSERT_EQ(surface.pixel(4 + i % 32, 4 + i / 32),
                          qxtest::mixedPixel(v[i], screen(i / 32), opacity))
                    << "at " << i % 32 << "," << i / 32;
            }
        }
    });
    EXPECT_GT(linear, 0);
    EXPECT_GT(lookedUp, 0) << "0.6 and others have no linear form";
}

TEST(MixTables, LinearFormGivesEveryEntryWhenFound) {
    qxtest::Dice dice(7);
    for (int n = 0; n < 300; ++n) {
        const qx::MixTables t(dice.unit());
        for (int i = 0; t.linear && i < qx::MixTables::kEntries; ++i) {
            const int m = ((i >> 5) * t.dstWeight + (i & 31) * t.srcWeight + t.bias) >>
                          qx::MixTables::kLinearShift;
            ASSERT_EQ(m, t.mixBlue[i]) << "opacity " << t.opacity << " entry " << i;
        }
    }
}

// Repeating an opacity skips the rebuild, and the alpha image keeps the tables of the value
// before: going back and forth between values must draw what each value draws when built
// afresh.
TEST_F(DrawFastPathTest, SetOpacityAgainKeepsWhatTheLastValueDraws) {
    const auto door = [&] {
        return std::make_unique<qx::TranslucentImage>(
            0, 0, picture("door.png", 1, 1, 16, qxtest::kScreenFormat, {0x7FFF}));
    };
    const auto mask = [&] {
        return std::make_unique<qx::AlphaImage>(
            picture("qmark.png", 1, 1, 8, qxtest::kAlphaFormat, {255}));
    };
    const auto drawn = [&](auto& image, double opacity) {
        image.setOpacity(opacity);
        surface.setPixel(0, 0, 0);
        image.draw(&canvas);
        return surface.pixel(0, 0);
    };
    const auto check = [&](const auto& make) {
        auto image = make();
        for (double opacity : {0.5, 0.2, 0.5, 0.2, 1.0, 0.5, 0.00001, 0.00001, 1.0}) {
            auto fresh = make();
            EXPECT_EQ(drawn(*image, opacity), drawn(*fresh, opacity)) << "at " << opacity;
        }
    };
    check(door);
    check(mask);
    auto image = mask();
    EXPECT_EQ(drawn(*image, 0.5), rgb15(15, 15, 15));
}

// Whole and clipped rows copy from the span table; runs of another width than the bitmap, or
// with pairs appended, walk the pairs: all copy exactly the opaque pixels.
TEST_F(DrawFastPathTest, KeyedRowsWholeClippedOrForeignCopyTheOpaquePixels) {
    auto d = describe(24, 16, 16, qxtest::kScreenFormat);
    auto narrow = describe(20, 16, 16, qxtest::kScreenFormat);
    qx::Bitmap arrow(&d), other(&narrow);
    qxtest::FakeBitmap* pixels = qxtest::FakeBitmapFactory::of(&arrow);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 24; ++x) {
            pixels->setValue(x, y, (x < y + 2) != (x > 20 - y / 2) ? rgb15(x, y, 9) : 0u);
            qxtest::FakeBitmapFactory::of(&other)->setValue(x % 20, y, 5);
        }
    }
    // One opaque pair of 20 a row: read as a stream over 24-pixel rows, the first 320 pixels
    // are opaque and the rest, past the last pair, transparent.
    const qx::TransparencyRuns own(&arrow, qx::Colour(0, 0, 0));
    const qx::TransparencyRuns foreign(&other, qx::Colour(0, 0, 0));
    // A pair appended from outside drops the span table: these draw by walking the pairs.
    qx::TransparencyRuns walked(&arrow, qx::Colour(0, 0, 0));
    walked.append(0, 0);
    ASSERT_NE(own.spans().rows, nullptr);
    ASSERT_EQ(walked.spans().rows, nullptr);
    for (const qx::Rect clip : {qx::Rect(0, 0, 640, 480), qx::Rect(0, 37, 640, 5),
                                qx::Rect(37, 30, 9, 40), qx::Rect(0, 45, 640, 1)}) {
        for (const qx::TransparencyRuns* runs : {&own, &foreign, &std::as_const(walked)}) {
            fillScreen(rgb15(1, 2, 3));
            canvas.setClip(clip);
            qx::drawKeyed(&canvas, 30, 30, &arrow, runs, qx::Rect(0, 0, 24, 16));
            for (int y = 28; y < 48; ++y) {
                for (int x = 28; x < 56; ++x) {
                    const bool inside =
                        clip.contains(x, y) && x >= 30 && x < 54 && y >= 30 && y < 46;
                    const unsigned s = inside ? pixels->value(x - 30, y - 30) : 0;
                    const bool copied =
                        inside && (runs != &foreign ? s != 0 : (y - 30) * 24 + x - 30 < 320);
                    ASSERT_EQ(surface.pixel(x, y), copied ? s : rgb15(1, 2, 3))
                        << "at " << x << "," << y << (runs == &foreign ? " (foreign runs)" : "");
                }
            }
        }
    }
}

// The per-alpha rows, the linear form and the row forms give the same entries as the six
// tables wherever they are used; the rows are not used where a value would not fit, opacity
// 1.0, the most common, has a linear form, and the opacities of a fade have every row form.
// Only opacities that move no channel by a unit leave the screen as it is.
TEST(BlendTables, FastFormsMatchTheTablesWhenUsed) {
    for (double opacity :
         {0.0, 0.3, 0.6, 0.999, 1.0, 1.7, -0.2, 0.00001, 0.61, 0.25, 0.6375, 0.0001}) {
        const auto t = std::make_unique<qx::BlendTables>(opacity);
        EXPECT_EQ(t->compact, opacity >= 0.0 && opacity <= 1.0) << opacity;
        EXPECT_TRUE(t->linear || opacity != 1.0);
        EXPECT_EQ(t->allRowForms, opacity >= 0.0 && opacity <= 1.0 && opacity != 0.6375);
        EXPECT_EQ(t->identity, opacity >= 0.0 && opacity < 0.001) << opacity;
        for (unsigned i = 0; i < qx::BlendTables::kEntries; ++i) {
            const unsigned c = i >> 8, a = i & 255;
            const std::uint32_t form = t->rowForms[a];
            if ((form & qx::BlendTables::kNoRowForm) == 0) {
                const unsigned v =
                    (c * (form & 0xFFFF) + (form >> 16)) >> qx::BlendTables::kRowShift;
                ASSERT_EQ(v << 10, t->srcRed[i]) << opacity << " " << a;
                ASSERT_EQ(c - v, t->dstBlue[i]) << opacity << " " << a;
            }
            if (t->compact) {
                ASSERT_EQ(t->rows[a].source[c] << 10, t->srcRed[i]) << opacity << " " << a;
                ASSERT_EQ(t->rows[a].destination[c], t->dstBlue[i]) << opacity << " " << a;
            }
            if (t->linear) {
                ASSERT_EQ(((c * a + t->linearBias) * t->linearMultiplier) >> 16, t->srcBlue[i])
                    << "opacity " << opacity << " entry " << i;
            }
        }
    }
}

} // namespace
