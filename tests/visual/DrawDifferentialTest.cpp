// The alpha, keyed and translucent draws against plain per-pixel versions written from the
// blending formulas, on seeded random cases biased towards the edges: alpha 0 and 255,
// clip borders, widths 0 and 1. A failure names its seed; runCase(seed) replays one.
#include "visual/VisualFixture.h"

#include <memory>
#include <random>
#include <string>

#include "visual/AlphaImage.h"
#include "visual/TranslucentImage.h"
#include "visual/TransparencyRuns.h"

namespace {

using qxtest::FakeSurface;

constexpr int kSeeds = 400;
constexpr double kInverse255 = 0.00392156862745098;

class Dice {
public:
    explicit Dice(unsigned seed) : engine_(seed) {}
    int between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(engine_); }
    bool chance(int percent) { return between(0, 99) < percent; }
    double unit() { return std::uniform_real_distribution<double>(0.0, 1.0)(engine_); }
    template <class T> T pick(std::initializer_list<T> values) {
        return *(values.begin() + between(0, static_cast<int>(values.size()) - 1));
    }
    int extent() { return pick({0, 1, 1, 2, between(1, 40), between(1, 40)}); }
    int alpha() { return pick({0, 0, 255, 255, 128, between(0, 255)}); }
    std::uint16_t pixel() { return static_cast<std::uint16_t>(between(0, 0x7FFF)); }
    // A start for something of the given size against the span [lo, hi): straddling or
    // touching either border, or anywhere around.
    int around(int lo, int hi, int size) {
        switch (between(0, 5)) {
        case 0: return lo - between(0, size);
        case 1: return hi - between(0, size);
        case 2: return lo;
        case 3: return hi - size;
        case 4: return hi;
        default: return between(lo - size - 2, hi + 2);
        }
    }
    qx::Rect clip() {
        if (chance(25)) {
            return qx::Rect(0, 0, FakeSurface::kWidth, FakeSurface::kHeight);
        }
        const int x = pick({0, between(0, 600)});
        const int y = pick({0, between(0, 440)});
        const int w = pick({0, 1, between(1, FakeSurface::kWidth - x)});
        const int h = pick({0, 1, between(1, FakeSurface::kHeight - y)});
        return qx::Rect(x, y, w, h);
    }

private:
    std::mt19937 engine_;
};

int channel(std::uint16_t p, int shift) { return (p >> shift) & 31; }

class DrawDifferentialTest : public qxtest::VisualTest {
protected:
    // Random screen content around the picture, and the area compared afterwards.
    void prepareScreen(Dice& dice, const qx::Rect& placed) {
        watched = qx::Rect(placed.x - 2, placed.y - 2, placed.width + 4, placed.height + 4)
                      .intersect(qx::Rect(0, 0, FakeSurface::kWidth, FakeSurface::kHeight));
        before.clear();
        for (int y = watched.y; y < watched.y + watched.height; ++y) {
            for (int x = watched.x; x < watched.x + watched.width; ++x) {
                surface.setPixel(x, y, dice.pixel());
                before.push_back(surface.pixel(x, y));
            }
        }
    }
    std::uint16_t beforeAt(int x, int y) const {
        return before[static_cast<std::size_t>((y - watched.y) * watched.width + (x - watched.x))];
    }
    // Compares the watched area with expected (x, y, pixel before) and stops at the first
    // difference so that one bad case does not flood the output.
    template <class Expected> void compare(Expected expected) {
        for (int y = watched.y; y < watched.y + watched.height; ++y) {
            for (int x = watched.x; x < watched.x + watched.width; ++x) {
                const std::uint16_t want = expected(x, y, beforeAt(x, y));
                if (surface.pixel(x, y) != want) {
                    ADD_FAILURE() << "pixel " << x << "," << y << " is " << surface.pixel(x, y)
                                  << ", expected " << want;
                    return;
                }
            }
        }
        EXPECT_TRUE(surface.locks.empty()) << "canvas rows left locked";
    }
    void placeCanvas(Dice& dice) {
        canvas.clip = dice.clip();
        canvas.origin = dice.chance(50) ? qx::Point(0, 0)
                                        : qx::Point(dice.between(-20, 20), dice.between(-20, 20));
    }

    qx::Rect watched;
    std::vector<std::uint16_t> before;
};

TEST_F(DrawDifferentialTest, AlphaDrawMatchesTheFormula) {
    for (unsigned seed = 1; seed <= kSeeds; ++seed) {
        SCOPED_TRACE("alpha seed " + std::to_string(seed));
        Dice dice(seed);
        const bool withColour = dice.chance(50);
        const int w = dice.extent();
        const int h = dice.extent();
        std::vector<std::uint32_t> values;
        for (int i = 0; i < w * h; ++i) {
            const auto a = static_cast<std::uint32_t>(dice.alpha());
            values.push_back(
                withColour ? (a << 24) | static_cast<std::uint32_t>(dice.between(0, 0xFFFFFF)) : a);
        }
        const std::string name = "alpha" + std::to_string(seed);
        auto image = std::make_unique<qx::AlphaImage>(
            withColour ? picture(name, w, h, 32, qxtest::kArgbFormat, values)
                       : picture(name, w, h, 8, qxtest::kAlphaFormat, values));
        ASSERT_EQ(image->hasAlpha, withColour ? 1 : 0);
        const double opacity = dice.pick({1.0, 0.0, 0.5, dice.unit()});
        image->setOpacity(opacity);
        placeCanvas(dice);
        image->setPosition(
            dice.around(canvas.clip.x, canvas.clip.x + canvas.clip.width, w) - canvas.origin.x,
            dice.around(canvas.clip.y, canvas.clip.y + canvas.clip.height, h) - canvas.origin.y);
        const qx::Rect placed(image->position.x + canvas.origin.x,
                              image->position.y + canvas.origin.y, w, h);
        prepareScreen(dice, placed);
        image->draw(&canvas);

        const qx::Rect drawn = placed.intersect(canvas.clip);
        compare([&](int x, int y, std::uint16_t d) -> std::uint16_t {
            if (!drawn.contains(x, y)) {
                return d;
            }
            const std::uint32_t v =
                values[static_cast<std::size_t>((y - placed.y) * w + x - placed.x)];
            const int a = static_cast<int>(withColour ? v >> 24 : v);
            if (a == 0) {
                return d;
            }
            const std::uint16_t s =
                withColour ? qxtest::rgb15((v >> 19) & 31, (v >> 11) & 31, (v >> 3) & 31) : 0x7FFF;
            int result = 0;
            for (int shift : {10, 5, 0}) {
                const int sc = channel(s, shift);
                const int dc = channel(d, shift);
                const int fromSource =
                    static_cast<int>(static_cast<double>(sc * a) * opacity * kInverse255);
                const int kept =
                    dc - static_cast<int>(static_cast<double>(dc * a) * opacity * kInverse255);
                result |= (fromSource + kept) << shift;
            }
            return static_cast<std::uint16_t>(result);
        });
        EXPECT_TRUE(qxtest::FakeBitmapFactory::of(image->alphaBitmap) == nullptr ||
                    qxtest::FakeBitmapFactory::of(image->alphaBitmap)->locks.empty());
    }
}

TEST_F(DrawDifferentialTest, KeyedDrawCopiesExactlyTheVisibleOpaquePixels) {
    for (unsigned seed = 1; seed <= kSeeds; ++seed) {
        SCOPED_TRACE("keyed seed " + std::to_string(seed));
        Dice dice(seed);
        const int w = dice.extent();
        const int h = dice.extent();
        auto d = describe(w, h, 16, qxtest::kScreenFormat);
        qx::Bitmap bitmap(&d);
        qxtest::FakeBitmap* pixels = qxtest::FakeBitmapFactory::of(&bitmap);
        // Runs of key and picture pixels, so that both long and single runs occur.
        bool key = dice.chance(50);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (dice.chance(30)) {
                    key = !key;
                }
                pixels->setValue(x, y, key ? 0 : dice.between(1, 0x7FFF));
            }
        }
        const qx::TransparencyRuns runs(&bitmap, qx::Colour(0, 0, 0));
        qx::Rect source(0, 0, w, h);
        if (dice.chance(30) && w > 0 && h > 0) {
            source.x = dice.between(0, w - 1);
            source.y = dice.between(0, h - 1);
            source.width = dice.between(0, w - source.x);
            source.height = dice.between(0, h - source.y);
        }
        placeCanvas(dice);
        const int x = dice.around(canvas.clip.x, canvas.clip.x + canvas.clip.width, source.width) -
                      canvas.origin.x;
        const int y =
            dice.around(canvas.clip.y, canvas.clip.y + canvas.clip.height, source.height) -
            canvas.origin.y;
        const qx::Rect placed(x + canvas.origin.x, y + canvas.origin.y, source.width,
                              source.height);
        prepareScreen(dice, placed);
        qx::drawKeyed(&canvas, x, y, &bitmap, &runs, source);

        const qx::Rect drawn = placed.intersect(canvas.clip);
        compare([&](int px, int py, std::uint16_t before) -> std::uint16_t {
            if (!drawn.contains(px, py)) {
                return before;
            }
            const auto s = static_cast<std::uint16_t>(
                pixels->value(source.x + px - placed.x, source.y + py - placed.y));
            return s != 0 ? s : before;
        });
        EXPECT_TRUE(pixels->locks.empty());
    }
}

TEST_F(DrawDifferentialTest, TranslucentDrawMixesByTheFormula) {
    for (unsigned seed = 1; seed <= kSeeds; ++seed) {
        SCOPED_TRACE("translucent seed " + std::to_string(seed));
        Dice dice(seed);
        const int w = dice.extent();
        const int h = dice.extent();
        std::vector<std::uint32_t> values;
        for (int i = 0; i < w * h; ++i) {
            values.push_back(dice.pick<std::uint32_t>({0, 0x7FFF, dice.pixel()}));
        }
        placeCanvas(dice);
        const int x = dice.around(0, FakeSurface::kWidth, w) - canvas.origin.x;
        const int y = dice.around(0, FakeSurface::kHeight, h) - canvas.origin.y;
        auto image = std::make_unique<qx::TranslucentImage>(
            x, y, picture("door" + std::to_string(seed), w, h, 16, qxtest::kScreenFormat, values));
        const double opacity = dice.pick({1.0, 0.00005, 0.0001, 0.999999, 0.5, dice.unit()});
        image->setOpacity(opacity);
        const qx::Rect placed(x + canvas.origin.x, y + canvas.origin.y, w, h);
        prepareScreen(dice, placed);
        const std::size_t copiesBefore = surface.copies.size();
        image->draw(&canvas);

        EXPECT_EQ(surface.copies.size() - copiesBefore, opacity == 1.0 ? 1u : 0u);
        const bool mixes = opacity != 1.0 && opacity >= 0.0001;
        compare([&](int px, int py, std::uint16_t d) -> std::uint16_t {
            if (!mixes || !placed.contains(px, py)) {
                return d;
            }
            const auto s = static_cast<std::uint16_t>(
                values[static_cast<std::size_t>((py - placed.y) * w + px - placed.x)]);
            int result = 0;
            for (int shift : {10, 5, 0}) {
                result |= static_cast<int>((1.0 - opacity) * channel(d, shift) +
                                           channel(s, shift) * opacity)
                          << shift;
            }
            return static_cast<std::uint16_t>(result);
        });
    }
}

} // namespace
