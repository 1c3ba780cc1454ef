// What the draw tests share: a number generator of their own (the same numbers from every
// compiler and standard library, so that a seed replays anywhere), one case of a draw with
// every parameter it was made from, and a fixture that draws a case on each path and compares
// every pixel around it with the draw's formula worked out pixel by pixel.
//
// QX_DRAW_SEED=N runs only the case of seed N; QX_DRAW_PATH=scalar|sse2|avx2 compares only
// that path (a path this build or processor lacks is a failure, not a skip).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "visual/VectorPath.h"
#include "visual/VisualFixture.h"

namespace qxtest {

const qx::Rect kWholeScreen(0, 0, FakeSurface::kWidth, FakeSurface::kHeight);

// splitmix64. Arguments of one call are evaluated in no fixed order, so every number is
// drawn in a statement of its own or in a braced list, which runs left to right.
class Dice {
public:
    explicit Dice(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next();
    int between(int lo, int hi); // lo to hi, both included
    double unit();               // [0, 1)
    template <class T> T pick(std::initializer_list<T> v) {
        return v.begin()[between(0, static_cast<int>(v.size()) - 1)];
    }

    // Biased towards what the draws treat apart: empty and one-pixel sides, alphas 0 and
    // 255, starts that straddle, touch or miss a border.
    int extent();
    int wideExtent(); // now and then wider than the draws' blocks and inline copies
    int alpha();
    int around(int lo, int hi, int size);
    qx::Rect clip();

private:
    std::uint64_t state_;
};

// One draw: everything it was made from, so that a failure can name it all.
struct DrawCase {
    const char* kind = "";
    std::uint64_t seed = 0;
    std::int32_t bits = 16; // the picture's, as loaded
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels; // row by row
    qx::Rect source;                   // the part drawn (the keyed draw's argument)
    std::optional<double> opacity;     // none for the keyed draw
    qx::Point at;                      // relative to the origin
    qx::Point origin;
    qx::Rect clip = kWholeScreen;

    qx::Rect placed() const {
        return qx::Rect(at.x + origin.x, at.y + origin.y, source.width, source.height);
    }
    std::uint32_t pixel(std::int32_t x, std::int32_t y) const {
        return pixels[static_cast<std::size_t>(y) * width + x];
    }
    std::string describe(qx::VectorPath path) const;
};

const char* pathName(qx::VectorPath path);

// The formulas, pixel by pixel. The alpha draw: source × a × opacity / 255 + destination −
// destination × a × opacity / 255 per channel, each product truncated, alpha 0 keeping the
// pixel whole. The translucent draw: (1 − opacity) × destination + source × opacity.
unsigned blendedPixel(unsigned source, unsigned destination, int alpha, double opacity);
unsigned mixedPixel(unsigned source, unsigned destination, double opacity);

class DrawCaseTest : public VisualTest {
protected:
    void SetUp() override;

    // Runs make(seed) for seeds 1 to count, or only for QX_DRAW_SEED; stops at the first
    // case that fails.
    template <class Make> void forEachCase(std::uint64_t count, Make make) {
        if (replay_) {
            make(*replay_);
            return;
        }
        for (std::uint64_t seed = 1; seed <= count && !HasFailure(); ++seed) {
            make(seed);
        }
    }

    // Runs check() once on each path, narrowest first.
    template <class Check> void forEachPath(Check check) {
        for (const qx::VectorPath path : paths) {
            qx::limitVectorPath(path);
            SCOPED_TRACE(std::string("path ") + pathName(path));
            check();
        }
        qx::limitVectorPath(qx::VectorPath::avx2);
    }

    // Fills the screen around the case with random pixels and keeps them as they were.
    void watch(Dice& dice, const DrawCase& c);
    // Places `c` (already sized) against `bounds` (its clip when empty): clip, origin and
    // position at random, the screen around it watched.
    void place(Dice& dice, DrawCase& c, const qx::Rect& bounds = qx::Rect());

    // Each draws the case on every path and compares; a difference fails the test.
    void checkAlpha(const DrawCase& c);
    void checkKeyed(const DrawCase& c);
    void checkTranslucent(const DrawCase& c);

    std::vector<qx::VectorPath> paths;

private:
    // draw() gives what went wrong besides the pixels, or nothing; expected(x, y, pixel
    // before) gives each watched pixel.
    template <class Draw, class Expected>
    void onEachPath(const DrawCase& c, Draw draw, Expected expected);
    template <class Expected> std::string firstDifference(Expected expected) const;
    qx::ResourceEntry* loaded(const DrawCase& c, const char* format);

    std::optional<std::uint64_t> replay_;
    std::unique_ptr<MemoryArchive> caseArchive_; // one per case: lookups stay short
    qx::Rect watched_;
    std::vector<std::uint16_t> before_;
};

} // namespace qxtest
