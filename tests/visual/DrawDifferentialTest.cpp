// The alpha, keyed and translucent draws against per-pixel versions written from their
// formulas: seeded random cases biased towards edges (alpha 0 and 255, clip borders, widths
// 0 and 1), then inputs shaped to take each of the draws' shortcuts and each way around it,
// each on the plain, SSE2 and AVX2 paths that this build and processor have. A failure names
// its path and seed.
#include "visual/VisualFixture.h"

#include <memory>
#include <random>
#include <utility>

#include "visual/AlphaImage.h"
#include "visual/TranslucentImage.h"
#include "visual/KeyedImage.h"
#include "visual/VectorPath.h"

namespace {

using qxtest::FakeSurface;
using qxtest::rgb15;

constexpr double kInverse255 = 0.00392156862745098;
const qx::Rect kScreen(0, 0, FakeSurface::kWidth, FakeSurface::kHeight);

struct Dice {
    explicit Dice(unsigned seed) : engine(seed) {}
    int between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(engine); }
    template <class T> T pick(std::initializer_list<T> v) {
        return v.begin()[between(0, static_cast<int>(v.size()) - 1)];
    }
    double unit() { return std::uniform_real_distribution<double>(0.0, 1.0)(engine); }
    int extent() { return pick({0, 1, 2, between(1, 40), between(1, 40)}); }
    int alpha() { return pick({0, 255, 128, between(0, 255)}); }
    std::uint32_t alphaPixel(bool colour, int a) {
        const auto high = static_cast<std::uint32_t>(a);
        return colour ? high << 24 | static_cast<std::uint32_t>(between(0, 0xFFFFFF)) : high;
    }
    // A start for `size` pixels against [lo, hi): straddling, touching or beyond a border.
    int around(int lo, int hi, int size) {
        return pick({lo - between(0, size), hi - between(0, size), lo, hi - size, hi,
                     between(lo - size - 2, hi + 2)});
    }
    qx::Rect clip() {
        const int x = pick({0, between(0, 600)}), y = pick({0, between(0, 440)});
        return pick({kScreen, qx::Rect(x, y, pick({0, 1, between(1, 640 - x)}),
                                       pick({0, 1, between(1, 480 - y)}))});
    }
    std::mt19937 engine;
};

int channel(unsigned pixel, int shift) { return static_cast<int>(pixel >> shift) & 31; }

unsigned blended(unsigned s, unsigned d, int a, double opacity) {
    unsigned out = 0;
    for (int shift : {10, 5, 0}) {
        const int sc = channel(s, shift), dc = channel(d, shift);
        out |= static_cast<unsigned>(static_cast<int>(sc * a * opacity * kInverse255) + dc -
                                     static_cast<int>(dc * a * opacity * kInverse255))
               << shift;
    }
    return a == 0 ? d : out;
}

unsigned mixed(unsigned s, unsigned d, double opacity) {
    unsigned out = 0;
    for (int shift : {10, 5, 0}) {
        out |=
            static_cast<unsigned>((1.0 - opacity) * channel(d, shift) + channel(s, shift) * opacity)
            << shift;
    }
    return out;
}

// Runs `check` once per path, narrowest first; the widest is allowed again afterwards.
template <class Check> void forEachPath(Check check) {
    for (const qx::VectorPath path :
         {qx::VectorPath::scalar, qx::VectorPath::sse2, qx::VectorPath::avx2}) {
        qx::limitVectorPath(path);
        if (qx::vectorPath() == path) {
            SCOPED_TRACE("path " + std::to_string(static_cast<int>(path)));
            check();
        }
    }
    qx::limitVectorPath(qx::VectorPath::avx2);
}

class DrawDifferentialTest : public qxtest::VisualTest {
protected:
    template <class Case> void forEachSeed(const char* kind, unsigned seeds, Case check) {
        forEachPath([&] {
            for (unsigned seed = 1; seed <= seeds; ++seed) {
                SCOPED_TRACE(std::string(kind) + " seed " + std::to_string(seed));
                Dice dice(seed);
                check(dice, std::to_string(seed));
            }
        });
    }
    // Sets a random clip and origin and places w x h against `bounds` (the clip when empty).
    qx::Rect place(Dice& dice, int w, int h, const qx::Rect& bounds = qx::Rect()) {
        canvas.clip = dice.clip();
        canvas.origin =
            dice.pick({qx::Point(), qx::Point(dice.between(-20, 20), dice.between(-20, 20))});
        const qx::Rect& b = bounds.isEmpty() ? canvas.clip : bounds;
        return watch(dice, qx::Rect(dice.around(b.x, b.x + b.width, w),
                                    dice.around(b.y, b.y + b.height, h), w, h));
    }
    // Fills the screen around `placed` with random pixels and remembers them.
    qx::Rect watch(Dice& dice, const qx::Rect& placed) {
        watched = qx::Rect(placed.x - 2, placed.y - 2, placed.width + 4, placed.height + 4)
                      .intersect(kScreen);
        before.clear();
        for (int y = watched.y; y < watched.y + watched.height; ++y) {
            for (int x = watched.x; x < watched.x + watched.width; ++x) {
                surface.setPixel(x, y, static_cast<std::uint16_t>(dice.between(0, 0x7FFF)));
                before.push_back(surface.pixel(x, y));
            }
        }
        return placed;
    }
    qx::Point relative(const qx::Rect& placed) const {
        return qx::Point(placed.x - canvas.origin.x, placed.y - canvas.origin.y);
    }
    // expected(x, y, pixel before) for every watched pixel; stops at the first difference.
    template <class Expected> void compare(Expected expected) {
        auto previous = before.begin();
        for (int y = watched.y; y < watched.y + watched.height; ++y) {
            for (int x = watched.x; x < watched.x + watched.width; ++x, ++previous) {
                const unsigned want = expected(x, y, *previous);
                if (surface.pixel(x, y) != want) {
                    ADD_FAILURE() << "pixel " << x << "," << y << " is " << surface.pixel(x, y)
                                  << ", expected " << want;
                    return;
                }
            }
        }
        EXPECT_TRUE(surface.locks.empty());
    }
    void checkAlpha(const std::string& name, bool colour, const std::vector<std::uint32_t>& v,
                    double opacity, const qx::Rect& placed) {
        const int w = placed.width, h = placed.height;
        auto image = std::make_unique<qx::AlphaImage>(
            colour ? picture(name, w, h, 32, qxtest::kArgbFormat, v)
                   : picture(name, w, h, 8, qxtest::kAlphaFormat, v));
        image->setOpacity(opacity);
        EXPECT_EQ(image->blendTables.fullAlphaCopies, opacity == 1.0);
        image->position = relative(placed);
        image->draw(&canvas);
        const qx::Rect drawn = placed.intersect(canvas.clip);
        compare([&](int x, int y, unsigned d) {
            const std::uint32_t p = drawn.contains(x, y) ? v[(y - placed.y) * w + x - placed.x] : 0;
            const unsigned s = colour ? rgb15(p >> 19 & 31, p >> 11 & 31, p >> 3 & 31) : 0x7FFF;
            return blended(s, d, static_cast<int>(colour ? p >> 24 : p), opacity);
        });
    }
    qx::Rect watched;
    std::vector<std::uint16_t> before;
};

using DrawFastPathTest = DrawDifferentialTest;

TEST_F(DrawDifferentialTest, AlphaDraw) {
    forEachSeed("alpha", 400, [&](Dice& dice, const std::string& seed) {
        const bool colour = dice.between(0, 1) == 1;
        const int w = dice.extent(), h = dice.extent();
        std::vector<std::uint32_t> v;
        for (int i = 0; i < w * h; ++i) {
            v.push_back(dice.alphaPixel(colour, dice.alpha()));
        }
        const double opacity = dice.pick({1.0, 0.0, 0.5, dice.unit()});
        const qx::Rect placed = place(dice, w, h);
        checkAlpha("a" + seed, colour, v, opacity, placed);
    });
}

TEST_F(DrawDifferentialTest, KeyedDraw) {
    forEachSeed("keyed", 400, [&](Dice& dice, const std::string&) {
        const int w = dice.extent(), h = dice.extent();
        auto d = describe(w, h, 16, qxtest::kScreenFormat);
        qx::Bitmap bitmap(&d);
        qxtest::FakeBitmap* pixels = qxtest::FakeBitmapFactory::of(&bitmap);
        bool key = dice.between(0, 1) == 1; // runs of both kinds, long and single
        for (int i = 0; i < w * h; ++i) {
            key = dice.between(0, 9) < 3 ? !key : key;
            pixels->setValue(i % w, i / w,
                             key ? 0 : static_cast<std::uint32_t>(dice.between(1, 0x7FFF)));
        }
        const qx::TransparencyRuns runs(&bitmap, qx::Colour(0, 0, 0));
        qx::Rect source(0, 0, w, h);
        if (w > 0 && h > 0 && dice.between(0, 2) == 0) {
            source.x = dice.between(0, w - 1);
            source.y = dice.between(0, h - 1);
            source.width = dice.between(0, w - source.x);
            source.height = dice.between(0, h - source.y);
        }
        const qx::Rect placed = place(dice, source.width, source.height);
        qx::drawKeyed(&canvas, relative(placed).x, relative(placed).y, &bitmap, &runs, source);

        const qx::Rect drawn = placed.intersect(canvas.clip);
        compare([&](int x, int y, unsigned before) {
            const unsigned s = drawn.contains(x, y)
                                   ? pixels->value(source.x + x - placed.x, source.y + y - placed.y)
                                   : 0;
            return s != 0 ? s : before;
        });
        EXPECT_TRUE(pixels->locks.empty());
    });
}

TEST_F(DrawDifferentialTest, TranslucentDraw) {
    forEachSeed("translucent", 400, [&](Dice& dice, const std::string& seed) {
        const int w = dice.extent(), h = dice.extent();
        std::vector<std::uint32_t> v;
        for (int i = 0; i < w * h; ++i) {
            v.push_back(dice.pick<std::uint32_t>(
                {0, 0x7FFF, static_cast<std::uint32_t>(dice.between(0, 0x7FFF))}));
        }
        const qx::Rect placed = place(dice, w, h, kScreen); // the mixed draw ignores the clip
        auto image = std::make_unique<qx::TranslucentImage>(
            relative(placed).x, relative(placed).y,
            picture("t" + seed, w, h, 16, qxtest::kScreenFormat, v));
        const double opacity = dice.pick({1.0, 0.00005, 0.0001, 0.999999, 0.5, dice.unit()});
        image->setOpacity(opacity);
        const std::size_t copies = surface.copies.size();
        image->draw(&canvas);

        EXPECT_EQ(surface.copies.size() - copies, opacity == 1.0 ? 1u : 0u);
        const bool mixes = opacity != 1.0 && opacity >= 0.0001;
        compare([&](int x, int y, unsigned d) {
            const unsigned s = placed.contains(x, y) ? v[(y - placed.y) * w + x - placed.x] : 0;
            return mixes && placed.contains(x, y) ? mixed(s, d, opacity) : d;
        });
    });
}

// Long runs of 0, 255, one in-between alpha and mixed ones, at widths and clip edges that put
// the runs on and off the 8- and 16-pixel blocks, at opacities where alpha 255 copies and
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
    forEachSeed("runs", 200, [&](Dice& dice, const std::string& seed) {
        const bool colour = dice.between(0, 1) == 1;
        const int w = dice.between(1, 90), h = dice.between(1, 6);
        std::vector<std::uint32_t> v;
        while (static_cast<int>(v.size()) < w * h) {
            const int kind = dice.between(0, 3), run = dice.between(1, 40);
            const int one = dice.between(0, 1) == 0
                                ? formless[static_cast<std::size_t>(
                                      dice.between(0, static_cast<int>(formless.size()) - 1))]
                                : dice.between(1, 254);
            for (int i = 0; i < run; ++i) {
                const int a = kind == 0   ? 0
                              : kind == 1 ? 255
                              : kind == 2 ? one
                                          : dice.between(1, 254);
                v.push_back(dice.alphaPixel(colour, a));
            }
        }
        v.resize(static_cast<std::size_t>(w * h));
        const double opacity = dice.pick({1.0, 0.6, 0.999, 0.25, 0.6375});
        canvas.clip = qx::Rect(dice.pick({0, 0, dice.between(10, 21)}), 0, 640, 480);
        canvas.origin = qx::Point();
        checkAlpha("r" + seed, colour, v, opacity, watch(dice, qx::Rect(10, 10, w, h)));
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
                          mixed(v[i], screen(i / 32), opacity))
                    << "at " << i % 32 << "," << i / 32;
            }
        }
    });
    EXPECT_GT(linear, 0);
    EXPECT_GT(lookedUp, 0) << "0.6 and others have no linear form";
}

TEST(MixTables, LinearFormGivesEveryEntryWhenFound) {
    std::mt19937 engine(7);
    for (int n = 0; n < 300; ++n) {
        const qx::MixTables t(std::uniform_real_distribution<double>(0.0, 1.0)(engine));
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
