// A 640 x 480 surface in "-rrrrrgggggbbbbb" that records what is asked of it, a canvas
// over it, and a font whose renderer records the lines it draws.
#pragma once

#include <cstdlib>
#include <list>
#include <string>
#include <vector>

#include "media/SurfaceSlots.h"
#include "qx/canvas.h"

namespace qxtest {

class FakeSurface final : public qxhost::SurfaceSlots {
public:
    static constexpr std::int32_t kWidth = 640;
    static constexpr std::int32_t kHeight = 480;
    static constexpr std::int32_t kPitch = kWidth * 2 + 16;

    FakeSurface();

    struct Copy {
        std::int32_t x, y;
        const qx::Bitmap* bitmap;
        qx::Rect source;
    };
    struct Lock {
        std::int32_t first, last;
    };

    void setColour(qx::Colour colour) override { colours.push_back(colour); }
    void polygon(qx::PointArray points) override { std::free(points.points); }
    void copy(std::int32_t x, std::int32_t y, const qx::Bitmap* bitmap, qx::Rect source) override;
    qx::RowBlock* lockRows(std::int32_t first, std::int32_t last) override;
    void unlockRows(qx::RowBlock* block) override;

    std::uint16_t pixel(std::int32_t x, std::int32_t y) const;
    void setPixel(std::int32_t x, std::int32_t y, std::uint16_t value);
    std::uint8_t* row(std::int32_t y) {
        return memory.data() + static_cast<std::size_t>(y) * kPitch;
    }

    // A 16-bit canvas over this surface, clip the whole screen, origin (0, 0).
    qx::Canvas canvas();

    std::vector<std::uint8_t> memory;
    std::int32_t lockedBits = 16; // what locked rows say their depth is
    std::vector<qx::Colour> colours;
    std::vector<Copy> copies;
    std::vector<Lock> lockCalls;
    std::vector<std::uint8_t*> unlockedAddresses;
    std::list<qx::RowBlock> locks;
};

class FakeScale final : public qx::IFontScale {
public:
    void set(double scale) override { value = scale; }
    double get() override { return value; }
    double value = 1.0;
};

class FakeStyler final : public qx::IFontStyler {
public:
    std::int32_t setStyle(std::int32_t style) override { return 100 + style; }
};

// Measures 10 pixels per character at the font's primary scale, truncated.
class FakeRenderer final : public qx::ITextRenderer {
public:
    struct Line {
        std::int32_t x, y;
        std::string text;
        qx::Colour colour;
        std::int32_t style;
    };

    void unused1() override {}
    std::int32_t measure(const char* text) override;
    void draw(qx::Canvas* canvas, std::int32_t x, std::int32_t y, const char* text) override;

    FakeScale* scale = nullptr;
    std::vector<Line> lines;
};

// A font with line height 20 and line advance 1000, with both scales and a styler.
struct FakeFont {
    FakeFont();
    FakeFont(const FakeFont&) = delete;
    FakeFont& operator=(const FakeFont&) = delete;

    FakeRenderer renderer;
    FakeStyler styler;
    FakeScale primary;
    FakeScale secondary;
    qx::Font font{};
};

} // namespace qxtest
