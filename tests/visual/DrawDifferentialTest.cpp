// The alpha, keyed and translucent draws against their formulas, on seeded random cases that
// are mostly small pictures near the clip's and the screen's edges, biased towards what the
// draws treat apart (alpha 0 and 255, empty and one-pixel sides, clip borders). Each case is
// drawn on every path this build and processor have. A failure names the case's seed and
// every parameter; QX_DRAW_SEED and QX_DRAW_PATH replay it alone (DrawCases.h).
//
// Built twice: a few hundred cases per draw for every build, and under the label "long"
// (QX_DRAW_SUITE=DrawDifferentialLong) two hundred thousand on the release build.
#include "visual/DrawCases.h"

#ifndef QX_DRAW_SUITE
#define QX_DRAW_SUITE DrawDifferentialTest
#define QX_DRAW_CASES 400
#endif

namespace {

using qxtest::Dice;
using qxtest::DrawCase;

using QX_DRAW_SUITE = qxtest::DrawCaseTest;

// A picture of random size whose pixels, row by row, come from nextPixel().
template <class NextPixel>
DrawCase made(const char* kind, std::uint64_t seed, Dice& dice, std::int32_t bits,
              NextPixel nextPixel) {
    DrawCase c;
    c.kind = kind;
    c.seed = seed;
    c.bits = bits;
    c.width = dice.wideExtent();
    c.height = dice.extent();
    c.source = qx::Rect(0, 0, c.width, c.height);
    for (std::int32_t i = 0; i < c.width * c.height; ++i) {
        c.pixels.push_back(nextPixel());
    }
    return c;
}

TEST_F(QX_DRAW_SUITE, AlphaDraw) {
    forEachCase(QX_DRAW_CASES, [&](std::uint64_t seed) {
        Dice dice(seed);
        const bool colour = dice.between(0, 1) == 1;
        DrawCase c = made("alpha", seed, dice, colour ? 32 : 8, [&] {
            const auto a = static_cast<std::uint32_t>(dice.alpha());
            return colour ? a << 24 | static_cast<std::uint32_t>(dice.between(0, 0xFFFFFF)) : a;
        });
        c.opacity = dice.pick({1.0, 0.0, 0.5, 0.6375, dice.unit()});
        place(dice, c);
        checkAlpha(c);
    });
}

TEST_F(QX_DRAW_SUITE, KeyedDraw) {
    forEachCase(QX_DRAW_CASES, [&](std::uint64_t seed) {
        Dice dice(seed);
        // Runs of both kinds, long and single; opaque pixels with bit 15 set too.
        const int flips = dice.pick({2, 30, 50});
        bool key = dice.between(0, 1) == 1;
        DrawCase c = made("keyed", seed, dice, 16, [&] {
            key = dice.between(0, 99) < flips ? !key : key;
            return key ? 0u : static_cast<std::uint32_t>(dice.between(1, 0xFFFF));
        });
        if (c.width > 0 && c.height > 0 && dice.between(0, 2) == 0) {
            c.source.x = dice.between(0, c.width - 1);
            c.source.y = dice.between(0, c.height - 1);
            c.source.width = dice.between(0, c.width - c.source.x);
            c.source.height = dice.between(0, c.height - c.source.y);
        }
        place(dice, c);
        checkKeyed(c);
    });
}

TEST_F(QX_DRAW_SUITE, TranslucentDraw) {
    forEachCase(QX_DRAW_CASES, [&](std::uint64_t seed) {
        Dice dice(seed);
        DrawCase c = made("translucent", seed, dice, 16, [&] {
            const int any = dice.between(0, 0xFFFF);
            return static_cast<std::uint32_t>(dice.pick({0, 0x7FFF, any}));
        });
        c.opacity = dice.pick({1.0, 0.00005, 0.0001, 0.999999, 0.5, dice.unit()});
        place(dice, c, qxtest::kWholeScreen); // the mixed draw ignores the clip
        checkTranslucent(c);
    });
}

} // namespace
