#include "media/HostFont.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "media/PixelLayout.h"
#include "media/Surface.h"

namespace qxhost {

namespace {

constexpr std::int32_t kLargestPixelSize = 1024;

// Decodes UTF-8; a byte that does not start a valid sequence stands for itself (Latin-1),
// so text in either encoding shows.
char32_t nextCharacter(const unsigned char*& p) {
    const unsigned char lead = *p;
    int length = 0;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 1;
        value = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 2;
        value = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 3;
        value = lead & 0x07u;
    }
    for (int i = 1; i <= length; ++i) {
        if ((p[i] & 0xC0u) != 0x80u) {
            length = 0;
            break;
        }
        value = (value << 6) | (p[i] & 0x3Fu);
    }
    if (length == 0) {
        ++p;
        return lead;
    }
    p += length + 1;
    return value;
}

struct PlacedGlyph {
    const Glyph* glyph;
    std::int32_t x; // first column, surface coordinates
    std::int32_t y; // first row, surface coordinates
};

} // namespace

HostFont::HostFont(Host& host, Typeface& typeface, std::int32_t pixelSize)
    : host_(host), typeface_(typeface), baseSize_(std::clamp(pixelSize, 1, kLargestPixelSize)) {
    table_.addInterface("ITextRenderer", static_cast<qx::ITextRenderer*>(this));
    table_.addInterface("IFontStyler", static_cast<qx::IFontStyler*>(this));
    table_.addInterface("IFontScale", static_cast<qx::IFontScale*>(&primary_));
    record_.descriptionWords[qx::kFontLineHeight] = typeface.metrics(baseSize_, 0).height;
    record_.descriptionWords[qx::kFontLineAdvance] = 1000;
    record_.renderer = this;
    record_.styler = this;
    record_.primaryScaleInterface = &primary_;
    record_.secondaryScaleInterface = &secondary_;
    record_.reserved = 0;
    record_.currentStyle = 0;
}

std::int32_t HostFont::pixelSize() const {
    const double size = baseSize_ * primary_.value * secondary_.value;
    if (!std::isfinite(size)) {
        return baseSize_;
    }
    return static_cast<std::int32_t>(std::clamp(std::lround(size), 1L, long{kLargestPixelSize}));
}

std::int32_t HostFont::setStyle(std::int32_t style) {
    const std::int32_t previous = style_;
    style_ = style;
    return previous;
}

std::int32_t HostFont::measure(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    typeface_.trim();
    const std::int32_t size = pixelSize();
    std::int32_t widest = 0;
    std::int32_t pen = 0;
    for (auto* p = reinterpret_cast<const unsigned char*>(text); *p != 0;) {
        const char32_t character = nextCharacter(p);
        if (character == U'\n') {
            pen = 0;
            continue;
        }
        if (character < 0x20) {
            continue;
        }
        if (const Glyph* glyph = typeface_.glyph(character, size, style_)) {
            pen += glyph->advance;
            widest = std::max(widest, pen);
        }
    }
    return widest;
}

void HostFont::draw(qx::Canvas* canvas, std::int32_t x, std::int32_t y, const char* text) {
    if (canvas == nullptr || canvas->surface == nullptr || text == nullptr) {
        return;
    }
    typeface_.trim();
    const std::int32_t size = pixelSize();
    const LineMetrics line = typeface_.metrics(size, style_);
    const std::int64_t left = std::int64_t{x} + canvas->origin.x;
    std::int64_t baseline = std::int64_t{y} + canvas->origin.y + line.ascender;

    // Place every glyph first, so that one lock covers the rows of the whole text.
    std::vector<PlacedGlyph> placed;
    std::int64_t pen = left;
    std::int64_t top = INT32_MAX;
    std::int64_t bottom = INT32_MIN;
    for (auto* p = reinterpret_cast<const unsigned char*>(text); *p != 0;) {
        const char32_t character = nextCharacter(p);
        if (character == U'\n') {
            pen = left;
            baseline += line.height;
            continue;
        }
        const Glyph* glyph = character < 0x20 ? nullptr : typeface_.glyph(character, size, style_);
        if (glyph == nullptr) {
            continue;
        }
        const std::int64_t gx = pen + glyph->left;
        const std::int64_t gy = baseline - glyph->top;
        pen += glyph->advance;
        if (glyph->width == 0 || glyph->rows == 0 || gx < INT32_MIN / 2 || gx > INT32_MAX / 2 ||
            gy < INT32_MIN / 2 || gy > INT32_MAX / 2) {
            continue;
        }
        placed.push_back({glyph, static_cast<std::int32_t>(gx), static_cast<std::int32_t>(gy)});
        top = std::min(top, gy);
        bottom = std::max(bottom, gy + glyph->rows);
    }
    if (placed.empty()) {
        return;
    }
    const qx::Rect visible =
        canvas->clip.intersect(qx::Rect(0, 0, Surface::kWidth, Surface::kHeight))
            .intersect(qx::Rect::fromCorners(INT32_MIN / 2, static_cast<std::int32_t>(top),
                                             INT32_MAX / 2, static_cast<std::int32_t>(bottom)));
    if (visible.isEmpty()) {
        return;
    }
    auto layout = PixelLayout::parse(host_.atoms().nameOf(canvas->format));
    if (!layout || layout->bitsPerPixel() != canvas->bitsPerPixel) {
        layout = PixelLayout::standard(canvas->bitsPerPixel);
    }
    qx::RowBlock* rows = canvas->surface->lockRows(visible.y, visible.y + visible.height - 1);
    if (rows == nullptr) {
        return;
    }
    if (layout && rows->bitsPerPixel == layout->bitsPerPixel()) {
        Rgba ink;
        ink.red = static_cast<std::uint8_t>(std::clamp(canvas->colour.red, 0, 255));
        ink.green = static_cast<std::uint8_t>(std::clamp(canvas->colour.green, 0, 255));
        ink.blue = static_cast<std::uint8_t>(std::clamp(canvas->colour.blue, 0, 255));
        const std::int32_t step = layout->bytesPerPixel();
        for (const PlacedGlyph& g : placed) {
            const qx::Rect box =
                qx::Rect(g.x, g.y, g.glyph->width, g.glyph->rows).intersect(visible);
            for (std::int32_t py = box.y; py < box.y + box.height; ++py) {
                const std::uint8_t* coverage =
                    g.glyph->coverage.data() + std::ptrdiff_t{py - g.y} * g.glyph->width;
                std::uint8_t* row = rows->address + std::ptrdiff_t{py - visible.y} * rows->pitch;
                for (std::int32_t px = box.x; px < box.x + box.width; ++px) {
                    const std::uint32_t c = coverage[px - g.x];
                    if (c == 0) {
                        continue;
                    }
                    std::uint8_t* pixel = row + std::ptrdiff_t{px} * step;
                    Rgba out = layout->unpack(layout->read(pixel));
                    auto mix = [c](std::uint8_t under, std::uint8_t over) {
                        return static_cast<std::uint8_t>((under * (255 - c) + over * c + 127) /
                                                         255);
                    };
                    out.red = mix(out.red, ink.red);
                    out.green = mix(out.green, ink.green);
                    out.blue = mix(out.blue, ink.blue);
                    layout->write(pixel, layout->pack(out));
                }
            }
        }
    }
    canvas->surface->unlockRows(rows);
}

} // namespace qxhost
