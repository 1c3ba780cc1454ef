// The alpha, keyed and translucent draws against per-pixel versions written from their
// formulas, on seeded random cases biased towards edges: alpha 0 and 255, clip borders,
// widths 0 and 1. A failure names its seed.
#include "visual/VisualFixture.h"

#include <memory>
#include <random>

#include "visual/AlphaImage.h"
#include "visual/TranslucentImage.h"
#include "visual/TransparencyRuns.h"

namespace {

using qxtest::FakeSurface;

constexpr unsigned kSeeds = 400;
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

class DrawDifferentialTest : public qxtest::VisualTest {
protected:
    template <class Case> void forEachSeed(const char* kind, Case check) {
        for (unsigned seed = 1; seed <= kSeeds; ++seed) {
            SCOPED_TRACE(std::string(kind) + " seed " + std::to_string(seed));
            Dice dice(seed);
            check(dice, std::to_string(seed));
        }
    }
    // Sets a random clip and origin, places w x h against `bounds` (the clip when empty)
    // and fills the screen around it with random pixels; answers the surface rectangle.
    qx::Rect place(Dice& dice, int w, int h, const qx::Rect& bounds = qx::Rect()) {
        canvas.clip = dice.clip();
        canvas.origin =
            dice.pick({qx::Point(), qx::Point(dice.between(-20, 20), dice.between(-20, 20))});
        const qx::Rect& b = bounds.isEmpty() ? canvas.clip : bounds;
        const qx::Rect placed(dice.around(b.x, b.x + b.width, w),
                              dice.around(b.y, b.y + b.height, h), w, h);
        watched = qx::Rect(placed.x - 2, placed.y - 2, w + 4, h + 4).intersect(kScreen);
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
    qx::Rect watched;
    std::vector<std::uint16_t> before;
};

TEST_F(DrawDifferentialTest, AlphaDraw) {
    forEachSeed("alpha", [&](Dice& dice, const std::string& seed) {
        const bool colour = dice.between(0, 1) == 1;
        const int w = dice.extent(), h = dice.extent();
        std::vector<std::uint32_t> v;
        for (int i = 0; i < w * h; ++i) {
            const auto a = static_cast<std::uint32_t>(dice.alpha());
            v.push_back(colour ? a << 24 | static_cast<std::uint32_t>(dice.between(0, 0xFFFFFF))
                               : a);
        }
        auto image = std::make_unique<qx::AlphaImage>(
            colour ? picture("a" + seed, w, h, 32, qxtest::kArgbFormat, v)
                   : picture("a" + seed, w, h, 8, qxtest::kAlphaFormat, v));
        const double opacity = dice.pick({1.0, 0.0, 0.5, dice.unit()});
        image->setOpacity(opacity);
        const qx::Rect placed = place(dice, w, h);
        image->position = relative(placed);
        image->draw(&canvas);

        const qx::Rect drawn = placed.intersect(canvas.clip);
        compare([&](int x, int y, unsigned d) {
            const std::uint32_t p = drawn.contains(x, y) ? v[(y - placed.y) * w + x - placed.x] : 0;
            const int a = static_cast<int>(colour ? p >> 24 : p);
            const unsigned s =
                colour ? qxtest::rgb15(p >> 19 & 31, p >> 11 & 31, p >> 3 & 31) : 0x7FFF;
            unsigned result = 0;
            for (int shift : {10, 5, 0}) {
                const int sc = channel(s, shift), dc = channel(d, shift);
                result |=
                    static_cast<unsigned>(static_cast<int>(sc * a * opacity * kInverse255) + dc -
                                          static_cast<int>(dc * a * opacity * kInverse255))
                    << shift;
            }
            return a == 0 ? d : result;
        });
    });
}

TEST_F(DrawDifferentialTest, KeyedDraw) {
    forEachSeed("keyed", [&](Dice& dice, const std::string&) {
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
    forEachSeed("translucent", [&](Dice& dice, const std::string& seed) {
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
        const bool mixed = opacity != 1.0 && opacity >= 0.0001;
        compare([&](int x, int y, unsigned d) {
            const unsigned s = placed.contains(x, y) ? v[(y - placed.y) * w + x - placed.x] : 0;
            unsigned result = 0;
            for (int shift : {10, 5, 0}) {
                result |= static_cast<unsigned>((1.0 - opacity) * channel(d, shift) +
                                                channel(s, shift) * opacity)
                          << shift;
            }
            return mixed && placed.contains(x, y) ? result : d;
        });
    });
}

} // namespace
