#pragma once

#include "qx/canvas.h"
#include "visual/VisibleElement.h"

namespace qx {

// The host's trigger for outlined text (family 0x120000).
inline constexpr std::uint32_t kOutlineTrigger = 0x120001u;

// One or more lines of text in a host font, aligned within the frame's width, scaled
// through the font's scale interfaces, optionally outlined.
class TextElement final : public VisibleElement {
public:
    TextElement(std::int32_t x, std::int32_t y, Font* textFont, const char* initialText);
    ~TextElement() override;
    TextElement(const TextElement&) = delete;
    TextElement& operator=(const TextElement&) = delete;

    // Copies the text without its trailing newlines and counts its lines.
    void setText(const char* newText);
    void setStyle(std::int32_t n) { style = n; }
    // Width and height at the element's primary scale, line count and spacing.
    Size textSize();

    void draw(Canvas* canvas) override;
    Rect bounds() override;
    std::int32_t isHidden() override { return 0; }
    // Keeps the event (replacing the previous one): it decides how lines are drawn.
    std::int32_t handleEvent(Event* event) override;

    Font* font;           // borrowed
    char* text = nullptr; // owned; newlines separate lines
    char align = 0;       // 'c' centre, 'r' right, anything else left
    double secondaryScale = 1.0;
    double primaryScale = 1.0;
    std::int32_t style = 0; // 2 also selects the outline
    double lineSpacing = 1.0;
    std::int32_t lineCount = 0;
    Colour colour{255, 255, 255};
    Event* lastEvent = nullptr; // owned

private:
    // Measures the line and draws it aligned from x, the element's left edge.
    void drawAligned(Canvas* canvas, std::int32_t x, std::int32_t y, const char* line);
    void drawLine(Canvas* canvas, std::int32_t x, std::int32_t y, const char* line);
    void releaseText();

    // Titles are short: they live here rather than in a block of their own, beside the
    // members that measuring and drawing them read.
    char shortText_[24] = {};
};

} // namespace qx
