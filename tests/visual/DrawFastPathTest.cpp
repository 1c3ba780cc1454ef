// The draws' shortcuts (opaque and transparent alpha blocks, the linear mix, whole-row
// keyed copies, setOpacity without a rebuild) against the per-pixel formulas, on inputs
// shaped to take each shortcut and each way around it.
#include "visual/VisualFixture.h"

#include <memory>
#include <random>

#include "visual/AlphaImage.h"
#include "visual/TranslucentImage.h"
#include "visual/TransparencyRuns.h"

namespace {

using qxtest::rgb15;

constexpr double kInverse255 = 0.00392156862745098;

unsigned channel(unsigned pixel, int shift) { return (pixel >> shift) & 31u; }

unsigned blended(unsigned s, unsigned d, int a, double opacity) {
    if (a == 0) {
        return d;
    }
    unsigned out = 0;
    for (int shift : {10, 5, 0}) {
        const auto sc = static_cast<int>(channel(s, shift));
        const auto dc = static_cast<int>(channel(d, shift));
        out |= static_cast<unsigned>(static_cast<int>(sc * a * opacity * kInverse255) + dc -
                                     static_cast<int>(dc * a * opacity * kInverse255))
               << shift;
    }
    return out;
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

class DrawFastPathTest : public qxtest::VisualTest {
protected:
    void paintScreen(std::mt19937& engine) {
        for (std::int32_t y = 0; y < 100; ++y) {
            for (std::int32_t x = 0; x < 120; ++x) {
                surface.setPixel(x, y, static_cast<std::uint16_t>(engine() & 0x7FFF));
            }
        }
    }
    std::vector<std::uint16_t> screenArea() const {
        std::vector<std::uint16_t> v;
        for (std::int32_t y = 0; y < 100; ++y) {
            for (std::int32_t x = 0; x < 120; ++x) {
                v.push_back(surface.pixel(x, y));
            }
        }
        return v;
    }
};

// Long runs of 0, 255 and in-between alphas, at widths and clip edges that put the runs on
// and off the eight-pixel blocks, at opacities where alpha 255 copies and where it does not.
TEST_F(DrawFastPathTest, AlphaRunsBlendAsEachPixelWould) {
    for (unsigned seed = 1; seed <= 120; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 engine(seed);
        auto below = [&](unsigned n) { return static_cast<int>(engine() % n); };
        const bool colour = seed % 2 == 0;
        const int w = 1 + below(70);
        const int h = 1 + below(6);
        std::vector<std::uint32_t> v;
        while (static_cast<int>(v.size()) < w * h) {
            const int kind = below(3);
            const int run = 1 + below(20);
            for (int i = 0; i < run; ++i) {
                const std::uint32_t a = kind == 0 ? 0 : kind == 1 ? 255 : 1 + engine() % 254;
                v.push_back(colour ? a << 24 | (engine() & 0xFFFFFF) : a);
            }
        }
        v.resize(static_cast<std::size_t>(w * h));
        auto image = std::make_unique<qx::AlphaImage>(
            colour ? picture("a" + std::to_string(seed), w, h, 32, qxtest::kArgbFormat, v)
                   : picture("a" + std::to_string(seed), w, h, 8, qxtest::kAlphaFormat, v));
        const double opacity = std::vector<double>{1.0, 0.6, 0.999, 0.25}[seed % 4];
        image->setOpacity(opacity);
        EXPECT_EQ(image->blendTables.fullAlphaCopies, opacity == 1.0);
        paintScreen(engine);
        const auto before = screenArea();
        const int clipLeft = below(3) == 0 ? 10 + below(12) : 0;
        canvas.setClip(qx::Rect(clipLeft, 0, 640, 480));
        image->position = qx::Point(10, 10);
        image->draw(&canvas);

        const auto after = screenArea();
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 120; ++x) {
                const auto i = static_cast<std::size_t>(y * 120 + x);
                const bool inside =
                    x >= std::max(10, clipLeft) && x < 10 + w && y >= 10 && y < 10 + h;
                const std::uint32_t p =
                    inside ? v[static_cast<std::size_t>((y - 10) * w + x - 10)] : 0;
                const int a = static_cast<int>(colour ? p >> 24 : p);
                const unsigned s = colour ? rgb15(p >> 19 & 31, p >> 11 & 31, p >> 3 & 31) : 0x7FFF;
                ASSERT_EQ(after[i], blended(s, before[i], a, opacity)) << "at " << x << "," << y;
            }
        }
    }
}

// Every pair of destination and source channel values (the picture's x gives the source, the
// screen row the destination) at opacities that have a linear form and at ones that do not.
TEST_F(DrawFastPathTest, MixedDrawCoversEveryChannelPair) {
    std::vector<std::uint32_t> v;
    for (unsigned y = 0; y < 32; ++y) {
        for (unsigned x = 0; x < 32; ++x) {
            v.push_back(rgb15(x, 31 - x, (x + y) & 31));
        }
    }
    auto image = std::make_unique<qx::TranslucentImage>(
        4, 4, picture("door.png", 32, 32, 16, qxtest::kScreenFormat, v));
    int linear = 0;
    int lookedUp = 0;
    for (double opacity : {0.5, 0.6, 0.1, 0.3, 0.7, 0.37, 0.0001, 0.999999, 0.123456789}) {
        SCOPED_TRACE("opacity " + std::to_string(opacity));
        image->setOpacity(opacity);
        (image->mixTables.linear ? linear : lookedUp) += 1;
        for (unsigned y = 0; y < 32; ++y) {
            for (unsigned x = 0; x < 32; ++x) {
                surface.setPixel(static_cast<int>(4 + x), static_cast<int>(4 + y),
                                 rgb15(y, y ^ 7, 31 - y));
            }
        }
        image->draw(&canvas);
        for (unsigned y = 0; y < 32; ++y) {
            for (unsigned x = 0; x < 32; ++x) {
                ASSERT_EQ(surface.pixel(static_cast<int>(4 + x), static_cast<int>(4 + y)),
                          mixed(v[y * 32 + x], rgb15(y, y ^ 7, 31 - y), opacity))
                    << "at " << x << "," << y;
            }
        }
    }
    EXPECT_GT(linear, 0);
    EXPECT_GT(lookedUp, 0) << "0.6 and others have no linear form";
}

TEST(MixTables, LinearFormGivesEveryEntryWhenFound) {
    std::mt19937 engine(7);
    for (int n = 0; n < 300; ++n) {
        const double opacity = std::uniform_real_distribution<double>(0.0, 1.0)(engine);
        const qx::MixTables t(opacity);
        if (!t.linear) {
            continue;
        }
        for (int i = 0; i < qx::MixTables::kEntries; ++i) {
            const int m = ((i >> 5) * t.dstWeight + (i & 31) * t.srcWeight + t.bias) >>
                          qx::MixTables::kLinearShift;
            ASSERT_EQ(m, t.mixBlue[i]) << "opacity " << opacity << " entry " << i;
        }
    }
}

// Repeating an opacity skips the rebuild; coming back to one after another must not.
TEST_F(DrawFastPathTest, SetOpacityAgainKeepsWhatTheLastValueDraws) {
    auto image = std::make_unique<qx::TranslucentImage>(
        0, 0, picture("door.png", 1, 1, 16, qxtest::kScreenFormat, {rgb15(31, 31, 31)}));
    for (double other : {0.2, 1.0, 0.00001}) {
        image->setOpacity(0.5);
        image->setOpacity(other);
        image->setOpacity(0.5);
        surface.setPixel(0, 0, 0);
        image->draw(&canvas);
        EXPECT_EQ(surface.pixel(0, 0), rgb15(15, 15, 15)) << "after " << other;
    }
    auto alpha = std::make_unique<qx::AlphaImage>(
        picture("qmark.png", 1, 1, 8, qxtest::kAlphaFormat, {255}));
    alpha->setOpacity(0.5);
    alpha->setOpacity(0.2);
    alpha->setOpacity(0.5);
    surface.setPixel(0, 0, 0);
    alpha->draw(&canvas);
    EXPECT_EQ(surface.pixel(0, 0), rgb15(15, 15, 15));
}

// Whole rows walk the pairs directly, clipped ones go through the run cursor, and runs of
// another width than the bitmap fall back to the cursor: all copy exactly the opaque pixels.
TEST_F(DrawFastPathTest, KeyedRowsWholeClippedOrForeignCopyTheOpaquePixels) {
    auto d = describe(24, 16, 16, qxtest::kScreenFormat);
    qx::Bitmap arrow(&d);
    qxtest::FakeBitmap* pixels = qxtest::FakeBitmapFactory::of(&arrow);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 24; ++x) {
            const bool opaque = (x < y + 2) != (x > 20 - y / 2);
            pixels->setValue(x, y, opaque ? rgb15(x, y, 9) : 0u);
        }
    }
    auto narrow = describe(20, 16, 16, qxtest::kScreenFormat);
    qx::Bitmap other(&narrow);
    const qx::TransparencyRuns own(&arrow, qx::Colour(0, 0, 0));
    for (int i = 0; i < 20 * 16; ++i) {
        qxtest::FakeBitmapFactory::of(&other)->setValue(i % 20, i / 20, 5);
    }
    // One opaque pair of 20 a row: read as a stream over 24-pixel rows, the first 320 pixels
    // are opaque and the rest, past the last pair, transparent.
    const qx::TransparencyRuns foreign(&other, qx::Colour(0, 0, 0));
    for (const qx::Rect clip : {qx::Rect(0, 0, 640, 480), qx::Rect(0, 37, 640, 5),
                                qx::Rect(37, 30, 9, 40), qx::Rect(0, 45, 640, 1)}) {
        for (const qx::TransparencyRuns* runs : {&own, &foreign}) {
            fillScreen(rgb15(1, 2, 3));
            canvas.setClip(clip);
            qx::drawKeyed(&canvas, 30, 30, &arrow, runs, qx::Rect(0, 0, 24, 16));
            for (int y = 28; y < 48; ++y) {
                for (int x = 28; x < 56; ++x) {
                    const bool inside =
                        clip.contains(x, y) && x >= 30 && x < 54 && y >= 30 && y < 46;
                    const unsigned s = inside ? pixels->value(x - 30, y - 30) : 0;
                    const bool copied =
                        inside && (runs == &own ? s != 0 : (y - 30) * 24 + x - 30 < 320);
                    ASSERT_EQ(surface.pixel(x, y), copied ? s : rgb15(1, 2, 3))
                        << "at " << x << "," << y << (runs == &own ? "" : " (foreign runs)");
                }
            }
        }
    }
}

// The per-alpha rows hold the same sums as the six tables wherever they are used, and are
// not used where a value would not fit in them.
TEST(BlendTables, PerAlphaRowsMatchTheTablesWhenUsed) {
    for (double opacity : {0.0, 0.3, 0.6, 0.999, 1.0, 1.7, -0.2}) {
        const auto t = std::make_unique<qx::BlendTables>(opacity);
        EXPECT_EQ(t->compact, opacity >= 0.0 && opacity <= 1.0) << opacity;
        if (!t->compact) {
            continue;
        }
        for (unsigned a = 0; a < 256; ++a) {
            for (unsigned c = 0; c < 32; ++c) {
                const auto i = static_cast<std::size_t>(qx::BlendTables::index(c, a));
                ASSERT_EQ(t->rows[a].source[c] << 10, t->srcRed[i]) << opacity << " " << a;
                ASSERT_EQ(t->rows[a].destination[c], t->dstBlue[i]) << opacity << " " << a;
            }
        }
    }
}

} // namespace
