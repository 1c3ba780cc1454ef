#include "visual/DrawCases.h"

#include <cstdlib>
#include <iomanip>
#include <sstream>

#include "visual/AlphaImage.h"
#include "visual/KeyedImage.h"
#include "visual/TranslucentImage.h"

namespace qxtest {

namespace {

constexpr double kInverse255 = 0.00392156862745098;

int channel(unsigned pixel, int shift) { return static_cast<int>(pixel >> shift) & 31; }

std::ostream& operator<<(std::ostream& out, const qx::Rect& r) {
    return out << "(" << r.x << ", " << r.y << ", " << r.width << ", " << r.height << ")";
}

std::ostream& operator<<(std::ostream& out, const qx::Point& p) {
    return out << "(" << p.x << ", " << p.y << ")";
}

// Every draw must give back what it locked, whatever it drew.
std::string unlocked(const FakeSurface& surface,
                     std::initializer_list<const qx::Bitmap*> pictures) {
    if (!surface.locks.empty()) {
        return "screen rows left locked";
    }
    for (const qx::Bitmap* picture : pictures) {
        const FakeBitmap* fake = FakeBitmapFactory::of(picture);
        if (fake != nullptr && !fake->locks.empty()) {
            return "picture rows left locked";
        }
    }
    return "";
}

} // namespace

unsigned blendedPixel(unsigned source, unsigned destination, int alpha, double opacity) {
    unsigned out = 0;
    for (int shift : {10, 5, 0}) {
        const int s = channel(source, shift), d = channel(destination, shift);
        out |= static_cast<unsigned>(static_cast<int>(s * alpha * opacity * kInverse255) + d -
                                     static_cast<int>(d * alpha * opacity * kInverse255))
               << shift;
    }
    return alpha == 0 ? destination : out;
}

unsigned mixedPixel(unsigned source, unsigned destination, double opacity) {
    unsigned out = 0;
    for (int shift : {10, 5, 0}) {
        out |= static_cast<unsigned>((1.0 - opacity) * channel(destination, shift) +
                                     channel(source, shift) * opacity)
               << shift;
    }
    return out;
}

std::uint64_t Dice::next() {
    std::uint64_t z = state_ += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int Dice::between(int lo, int hi) {
    const auto span = static_cast<std::uint64_t>(static_cast<std::int64_t>(hi) - lo) + 1;
    return static_cast<int>(lo + static_cast<std::int64_t>(next() % span));
}

double Dice::unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

int Dice::extent() { return pick({0, 1, 2, between(1, 40), between(1, 40)}); }

int Dice::wideExtent() { return between(0, 9) == 0 ? between(41, 300) : extent(); }

int Dice::alpha() { return pick({0, 255, 1, 254, 128, between(0, 255), between(0, 255)}); }

int Dice::around(int lo, int hi, int size) {
    return pick({lo - between(0, size), hi - between(0, size), lo, hi - size, hi,
                 between(lo - size - 2, hi + 2)});
}

qx::Rect Dice::clip() {
    const int x = pick({0, between(0, 600)});
    const int y = pick({0, between(0, 440)});
    const int width = pick({0, 1, between(1, FakeSurface::kWidth - x)});
    const int height = pick({0, 1, between(1, FakeSurface::kHeight - y)});
    return pick({kWholeScreen, qx::Rect(x, y, width, height)});
}

const char* pathName(qx::VectorPath path) {
    switch (path) {
    case qx::VectorPath::scalar: return "scalar";
    case qx::VectorPath::sse2: return "sse2";
    case qx::VectorPath::avx2: return "avx2";
    }
    return "?";
}

std::string DrawCase::describe(qx::VectorPath path) const {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::ostringstream out;
    out << kind << " case of seed " << seed << "; replay it alone with QX_DRAW_SEED=" << seed
        << " QX_DRAW_PATH=" << pathName(path) << " and --gtest_filter=" << test->test_suite_name()
        << "." << test->name() << "\n  picture " << width << " x " << height << ", " << bits
        << " bits per pixel, row by row:" << std::hex;
    for (std::int32_t y = 0; y < height; ++y) {
        out << "\n   ";
        for (std::int32_t x = 0; x < width; ++x) {
            out << " " << pixel(x, y);
        }
    }
    out << std::dec << "\n  part drawn " << source;
    if (opacity) {
        out << ", opacity " << std::setprecision(17) << *opacity;
    }
    out << "\n  placed at " << at << " + origin " << origin << " = " << placed()
        << " on the screen, clip " << clip << "\n  path " << pathName(path);
    return out.str();
}

void DrawCaseTest::SetUp() {
    if (const char* seed = std::getenv("QX_DRAW_SEED"); seed != nullptr && *seed != 0) {
        char* end = nullptr;
        replay_ = std::strtoull(seed, &end, 10);
        if (*end != 0) {
            ADD_FAILURE() << "QX_DRAW_SEED=" << seed << " is not a seed";
        }
    }
    const char* only = std::getenv("QX_DRAW_PATH");
    const bool chosen = only != nullptr && *only != 0;
    for (const qx::VectorPath path :
         {qx::VectorPath::scalar, qx::VectorPath::sse2, qx::VectorPath::avx2}) {
        if (chosen && std::string(only) != pathName(path)) {
            continue;
        }
        qx::limitVectorPath(path);
        if (qx::vectorPath() == path) {
            paths.push_back(path);
        } else if (chosen) {
            ADD_FAILURE() << "QX_DRAW_PATH=" << only << ": this build or processor has no " << only
                          << " path";
        }
    }
    qx::limitVectorPath(qx::VectorPath::avx2);
    if (chosen && paths.empty() && !HasFailure()) {
        ADD_FAILURE() << "QX_DRAW_PATH=" << only << " names none of scalar, sse2, avx2";
    }
}

void DrawCaseTest::watch(Dice& dice, const DrawCase& c) {
    const qx::Rect placed = c.placed();
    watched_ = qx::Rect(placed.x - 2, placed.y - 2, placed.width + 4, placed.height + 4)
                   .intersect(kWholeScreen);
    before_.clear();
    // Bit 15 stays clear, as the screen's format has it.
    for (int y = watched_.y; y < watched_.bottom(); ++y) {
        for (int x = watched_.x; x < watched_.right(); ++x) {
            before_.push_back(static_cast<std::uint16_t>(dice.between(0, 0x7FFF)));
        }
    }
}

void DrawCaseTest::place(Dice& dice, DrawCase& c, const qx::Rect& bounds) {
    c.clip = dice.clip();
    if (dice.between(0, 1) == 1) {
        const int x = dice.between(-20, 20);
        const int y = dice.between(-20, 20);
        c.origin = qx::Point(x, y);
    }
    const qx::Rect& b = bounds.isEmpty() ? c.clip : bounds;
    const int x = dice.around(b.x, b.x + b.width, c.source.width);
    const int y = dice.around(b.y, b.y + b.height, c.source.height);
    c.at = qx::Point(x - c.origin.x, y - c.origin.y);
    watch(dice, c);
}

template <class Draw, class Expected>
void DrawCaseTest::onEachPath(const DrawCase& c, Draw draw, Expected expected) {
    for (const qx::VectorPath path : paths) {
        qx::limitVectorPath(path);
        auto previous = before_.begin();
        for (int y = watched_.y; y < watched_.bottom(); ++y) {
            for (int x = watched_.x; x < watched_.right(); ++x) {
                surface.setPixel(x, y, *previous++);
            }
        }
        canvas.clip = c.clip;
        canvas.origin = c.origin;
        std::string problem = draw();
        if (problem.empty()) {
            problem = firstDifference(expected);
        }
        if (!problem.empty()) {
            ADD_FAILURE() << c.describe(path) << "\n  " << problem;
            break;
        }
    }
    qx::limitVectorPath(qx::VectorPath::avx2);
    surface.lockCalls.clear();
    surface.unlockedAddresses.clear();
    surface.copies.clear();
    host.log().clear();
}

template <class Expected> std::string DrawCaseTest::firstDifference(Expected expected) const {
    auto previous = before_.begin();
    for (int y = watched_.y; y < watched_.bottom(); ++y) {
        for (int x = watched_.x; x < watched_.right(); ++x) {
            const unsigned want = expected(x, y, *previous++);
            if (surface.pixel(x, y) != want) {
                std::ostringstream out;
                out << "pixel (" << x << ", " << y << ") is " << std::hex << surface.pixel(x, y)
                    << ", expected " << want;
                return out.str();
            }
        }
    }
    return "";
}

qx::ResourceEntry* DrawCaseTest::loaded(const DrawCase& c, const char* format) {
    caseArchive_.reset();
    caseArchive_ = std::make_unique<MemoryArchive>("drawcase");
    return pictureIn(*caseArchive_, "case.png", c.width, c.height, c.bits, format, c.pixels);
}

void DrawCaseTest::checkAlpha(const DrawCase& c) {
    const bool colour = c.bits == 32;
    auto image = std::make_unique<qx::AlphaImage>(loaded(c, colour ? kArgbFormat : kAlphaFormat));
    image->setOpacity(*c.opacity);
    image->position = c.at;
    const qx::Rect placed = c.placed();
    const qx::Rect drawn = placed.intersect(c.clip);
    onEachPath(
        c,
        [&] {
            image->draw(&canvas);
            return unlocked(surface, {image->alphaBitmap, image->bitmap});
        },
        [&](int x, int y, unsigned d) {
            const std::uint32_t p = drawn.contains(x, y) ? c.pixel(x - placed.x, y - placed.y) : 0;
            const unsigned s = colour ? rgb15(p >> 19 & 31, p >> 11 & 31, p >> 3 & 31) : 0x7FFF;
            return blendedPixel(s, d, static_cast<int>(colour ? p >> 24 : p), *c.opacity);
        });
}

void DrawCaseTest::checkKeyed(const DrawCase& c) {
    auto d = describe(c.width, c.height, 16, kScreenFormat);
    qx::Bitmap bitmap(&d);
    FakeBitmap* pixels = FakeBitmapFactory::of(&bitmap);
    for (std::int32_t i = 0; i < c.width * c.height; ++i) {
        pixels->setValue(i % c.width, i / c.width, c.pixels[static_cast<std::size_t>(i)]);
    }
    const qx::TransparencyRuns runs(&bitmap, qx::Colour(0, 0, 0));
    const qx::Rect placed = c.placed();
    const qx::Rect drawn = placed.intersect(c.clip);
    onEachPath(
        c,
        [&] {
            qx::drawKeyed(&canvas, c.at.x, c.at.y, &bitmap, &runs, c.source);
            return unlocked(surface, {&bitmap});
        },
        [&](int x, int y, unsigned before) {
            const unsigned s = drawn.contains(x, y)
                                   ? c.pixel(c.source.x + x - placed.x, c.source.y + y - placed.y)
                                   : 0;
            return s != 0 ? s : before;
        });
}

void DrawCaseTest::checkTranslucent(const DrawCase& c) {
    auto image = std::make_unique<qx::TranslucentImage>(c.at.x, c.at.y, loaded(c, kScreenFormat));
    const double opacity = *c.opacity;
    image->setOpacity(opacity);
    // At 1.0 the plain draw hands the picture to the surface's copy; the mixed draw ignores
    // the clip.
    const bool mixes = opacity != 1.0 && opacity >= 0.0001;
    const qx::Rect placed = c.placed();
    onEachPath(
        c,
        [&]() -> std::string {
            const std::size_t copies = surface.copies.size();
            image->draw(&canvas);
            if (surface.copies.size() - copies != (opacity == 1.0 ? 1u : 0u)) {
                return "the surface was asked for a copy it should not have been, or not asked";
            }
            return unlocked(surface, {image->bitmap});
        },
        [&](int x, int y, unsigned d) {
            return mixes && placed.contains(x, y)
                       ? mixedPixel(c.pixel(x - placed.x, y - placed.y), d, opacity)
                       : d;
        });
}

} // namespace qxtest
