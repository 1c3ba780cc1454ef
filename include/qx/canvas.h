// The drawing context a host hands a scene, the surface behind it, and fonts.
//
// Canvas and Font are laid out by the host; a scene reads and writes their members in
// place and performs the operations declared here on them. Setters return the previous
// value so that callers can restore it.
#pragma once

#include "qx/bitmap.h"
#include "qx/geometry.h"
#include "qx/types.h"

namespace qx {

class Canvas;

inline constexpr const char* kISurfaceName = "ISurface";

// The drawing target. Slots that scenes do not call are kept so that the operations
// scenes use stay in their places. Scenes call it within drawScene only.
class ISurface {
public:
    virtual void unused1() = 0;
    // Later host-side drawing (text, polygons) uses this colour, passed by value.
    virtual void setColour(Colour colour) = 0;
    virtual void unused3() = 0;
    virtual void unused4() = 0;
    virtual void unused5() = 0;
    virtual void unused6() = 0;
    virtual void unused7() = 0;
    virtual void unused8() = 0;
    virtual void unused9() = 0;
    virtual void unused10() = 0;
    virtual void unused11() = 0;
    virtual void unused12() = 0;
    virtual void unused13() = 0;
    // Draws the closed polygon through the points in the current colour; the surface takes
    // the array over and frees it with the free of the C runtime the module allocates from
    // (msvcrt.dll's on Windows).
    virtual void polygon(PointArray points) = 0;
    // Copies the source rectangle of the bitmap with its top-left corner at (x, y). The
    // Bitmap is borrowed for the call: the surface reads its description and locks and
    // unlocks its rows before it returns. The rectangle may be empty.
    virtual void copy(std::int32_t x, std::int32_t y, const Bitmap* bitmap, Rect source) = 0;
    // Rows first to last (inclusive); the block's address is column 0 of the first row. The
    // block belongs to the surface and stays valid, its rows writable, until unlockRows;
    // scenes unlock before drawScene returns. Null when the rows cannot be locked.
    virtual RowBlock* lockRows(std::int32_t first, std::int32_t last) = 0;
    // Gives back a block that lockRows answered, once.
    virtual void unlockRows(RowBlock* block) = 0;

protected:
    ~ISurface() = default;
};

inline constexpr const char* kITextRendererName = "ITextRenderer";

// A font's renderer, owned by whoever made the font.
class ITextRenderer {
public:
    virtual void unused1() = 0;
    // Any time (layout measures at set-up and in every frame). Width in pixels of the
    // string at the font's present style and scales; the string is borrowed for the call.
    virtual std::int32_t measure(const char* text) = 0;
    // Within drawScene. Draws one line with its top-left corner at (x, y) in the canvas's
    // colour; the canvas origin and clip apply. Canvas and string are borrowed for the call.
    virtual void draw(Canvas* canvas, std::int32_t x, std::int32_t y, const char* text) = 0;

protected:
    ~ITextRenderer() = default;
};

inline constexpr const char* kIFontStylerName = "IFontStyler";

class IFontStyler {
public:
    // Any time; the style holds for the font's later measures and draws until the next
    // call. Style numbers: 0 plain, 1 highlighted; the outline pair is 1 then 0.
    virtual std::int32_t setStyle(std::int32_t style) = 0;

protected:
    ~IFontStyler() = default;
};

inline constexpr const char* kIFontScaleName = "IFontScale";

// Any time; a scale holds for the font's later measures and draws until it is set again.
// Scenes put back the scale they found after each text.
class IFontScale {
public:
    virtual void set(double scale) = 0;
    virtual double get() = 0;

protected:
    ~IFontScale() = default;
};

// A Font is laid out by whoever made it (the producer's fonts are the producer's) and is
// borrowed by scenes until tearDown; a Canvas is the host's, handed to setUp and borrowed
// until tearDown. Scenes call their operations on the host's thread and write the
// canvas's clip, origin, colour and font while they draw.

// Word indices in a font description.
inline constexpr int kFontLineHeight = 7;   // line height in pixels
inline constexpr int kFontLineAdvance = 11; // line advance in thousandths of the line step

// The operations are small enough to be defined here: a scene performs several of them for
// every text it draws, every frame.
class Font {
public:
    // Answers the styler's result, or 0 without a styler.
    std::int32_t setStyle(std::int32_t n) {
        currentStyle = n;
        return styler != nullptr ? styler->setStyle(n) : 0;
    }
    std::int32_t style() const { return currentStyle; }
    std::int32_t measure(const char* text) {
        return renderer != nullptr && text != nullptr ? renderer->measure(text) : 0;
    }
    void draw(Canvas* canvas, std::int32_t x, std::int32_t y, const char* text) {
        if (renderer != nullptr && text != nullptr) {
            renderer->draw(canvas, x, y, text);
        }
    }
    void setPrimaryScale(double value) {
        if (primaryScaleInterface != nullptr) {
            primaryScaleInterface->set(value);
        }
    }
    void setSecondaryScale(double value) {
        if (secondaryScaleInterface != nullptr) {
            secondaryScaleInterface->set(value);
        }
    }
    // 1.0 without the interface.
    double primaryScale() {
        return primaryScaleInterface != nullptr ? primaryScaleInterface->get() : 1.0;
    }
    double secondaryScale() {
        return secondaryScaleInterface != nullptr ? secondaryScaleInterface->get() : 1.0;
    }
    const std::int32_t* description() const { return descriptionWords; }

    std::int32_t descriptionWords[12];
    ITextRenderer* renderer;
    IFontStyler* styler;
    IFontScale* primaryScaleInterface;
    IFontScale* secondaryScaleInterface;
    std::uint32_t reserved;
    std::int32_t currentStyle;
};

class Canvas {
public:
    Font* setFont(Font* newFont) {
        Font* previous = font;
        font = newFont;
        return previous;
    }
    // Through the font's renderer; nothing without a font.
    void drawText(std::int32_t x, std::int32_t y, const char* text) {
        if (font != nullptr) {
            font->draw(this, x, y, text);
        }
    }
    Rect setClip(Rect rect) {
        const Rect previous = clip;
        clip = rect;
        return previous;
    }
    Rect getClip() const { return clip; }
    Point setOrigin(std::int32_t x, std::int32_t y) {
        const Point previous = origin;
        origin = Point(x, y);
        return previous;
    }
    // Replaces the colour, then hands the new one to the surface.
    Colour setColour(Colour newColour) {
        const Colour previous = colour;
        colour = newColour;
        if (surface != nullptr) {
            surface->setColour(colour);
        }
        return previous;
    }
    std::uint32_t pixelFormat() const { return format; }
    std::int32_t depth() const { return bitsPerPixel; }
    // Rows in origin-relative coordinates; column 0 of the block is the origin's column.
    RowBlock* lockRows(std::int32_t first, std::int32_t last);
    void unlockRows(RowBlock* block);
    // Rows of the surface itself, for draws already placed and clipped in surface
    // coordinates; column 0 of the block is the surface's. Give it back with unlockSurfaceRows.
    RowBlock* lockSurfaceRows(std::int32_t first, std::int32_t last);
    void unlockSurfaceRows(RowBlock* block);
    // The whole bitmap at (x, y) plus the origin, clipped to the clip rectangle.
    void drawBitmap(std::int32_t x, std::int32_t y, const Bitmap* bitmap);
    // The source rectangle at (x, y) plus the origin; not clipped.
    void blit(std::int32_t x, std::int32_t y, const Bitmap* bitmap, Rect source);
    // Neither origin nor clip is applied.
    void drawPolygon(const PointArray& points);

    std::uint32_t reserved0;
    std::uint32_t reserved1;
    ISurface* surface;
    std::uint32_t reserved3;
    std::uint32_t format; // pixel-format identifier of the surface
    std::int32_t bitsPerPixel;
    Colour colour;
    std::uint32_t reserved11;
    std::uint32_t reserved12;
    Rect clip; // surface coordinates
    Point origin;
    Font* font;
};

QX_BEGIN_LAYOUT_CHECKS
QX_LAYOUT_CHECK(offsetof(Font, renderer) == 48);
QX_LAYOUT_CHECK(offsetof(Font, currentStyle) == 68);
QX_LAYOUT_CHECK(offsetof(Canvas, surface) == 8);
QX_LAYOUT_CHECK(offsetof(Canvas, format) == 16);
QX_LAYOUT_CHECK(offsetof(Canvas, colour) == 24);
QX_LAYOUT_CHECK(offsetof(Canvas, clip) == 52);
QX_LAYOUT_CHECK(offsetof(Canvas, origin) == 68);
QX_LAYOUT_CHECK(offsetof(Canvas, font) == 76);
QX_END_LAYOUT_CHECKS

} // namespace qx
