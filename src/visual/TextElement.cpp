#include "visual/TextElement.h"

#include <cstring>

#include "core/EventObject.h"
#include "core/Geometry.h"
#include "core/Memory.h"

namespace qx {

TextElement::TextElement(std::int32_t x, std::int32_t y, Font* textFont, const char* initialText)
    : font(textFont) {
    position = Point(x, y);
    setText(initialText);
}

TextElement::~TextElement() {
    releaseText();
    destroyEvent(lastEvent);
}

void TextElement::releaseText() {
    if (text != shortText_) {
        releaseBlock(text);
    }
    text = nullptr;
}

void TextElement::setText(const char* newText) {
    lineCount = 0;
    releaseText();
    if (newText == nullptr) {
        return;
    }
    std::size_t length = std::strlen(newText);
    text = length < sizeof shortText_ ? shortText_ : static_cast<char*>(allocateBlock(length + 1));
    if (text == nullptr) {
        return;
    }
    std::memcpy(text, newText, length + 1);
    while (length > 0 && text[length - 1] == '\n') {
        text[--length] = '\0';
    }
    lineCount = 1;
    for (const char* p = text; *p != '\0'; ++p) {
        lineCount += *p == '\n' && lineCount < INT32_MAX ? 1 : 0;
    }
}

Size TextElement::textSize() {
    // The font is read once: the host's calls below cannot change this element.
    Font* const f = font;
    if (f == nullptr) {
        return Size();
    }
    const double previous = f->primaryScale();
    f->setPrimaryScale(primaryScale);
    const std::int32_t width = f->measure(text);
    const std::int32_t height =
        truncated(wide(f->description()[kFontLineHeight]) * lineCount * lineSpacing * primaryScale);
    f->setPrimaryScale(previous);
    return Size(width, height);
}

void TextElement::draw(Canvas* canvas) {
    Font* const f = font;
    if (canvas == nullptr || f == nullptr) {
        return;
    }
    const Colour previousColour = canvas->setColour(colour);
    Font* previousFont = canvas->setFont(f);
    const std::int32_t x = position.x;
    std::int32_t y = position.y;
    // The step comes from the font's own scale, before the element's scale is applied.
    const std::int32_t lineStep =
        truncated((wide(f->description()[kFontLineHeight]) - 8) * f->primaryScale());
    const double previousSecondary = f->secondaryScale();
    f->setSecondaryScale(secondaryScale);
    const double previousPrimary = f->primaryScale();
    f->setPrimaryScale(primaryScale);
    const std::int32_t previousStyle = f->style();
    f->setStyle(style);

    // Each line is cut out in place and the newline put back once it is drawn; a text of one
    // line (setText counted no newline) is drawn as it stands.
    for (char* line = text; line != nullptr;) {
        char* end = lineCount > 1 ? std::strchr(line, '\n') : nullptr;
        if (end != nullptr) {
            *end = '\0';
        }
        drawAligned(canvas, x, y, line);
        if (end == nullptr) {
            break;
        }
        *end = '\n';
        line = end + 1;
        y = truncated(y + f->description()[kFontLineAdvance] * lineSpacing * lineStep *
                              primaryScale * 0.001);
    }

    f->setSecondaryScale(previousSecondary);
    f->setPrimaryScale(previousPrimary);
    f->setStyle(previousStyle);
    canvas->setFont(previousFont);
    canvas->setColour(previousColour);
}

void TextElement::drawAligned(Canvas* canvas, std::int32_t x, std::int32_t y, const char* line) {
    const std::int32_t w = font->measure(line);
    if (align == 'c') {
        x = saturated(wide(x) + (wide(frame.width) - w) / 2);
    } else if (align == 'r') {
        x = saturated(wide(x) + frame.width - w);
    }
    drawLine(canvas, x, y, line);
}

void TextElement::drawLine(Canvas* canvas, std::int32_t x, std::int32_t y, const char* line) {
    if (lastEvent == nullptr) {
        canvas->drawText(x, y, line);
        return;
    }
    if (lastEvent->type != kOutlineTrigger) {
        return;
    }
    if (style != 2) {
        canvas->drawText(x, y, line);
        return;
    }
    font->setStyle(1);
    canvas->setColour(Colour(255, 255, 255));
    canvas->drawText(x, y, line);
    canvas->setColour(Colour(0, 0, 0));
    font->setStyle(0);
    canvas->drawText(x, y, line);
}

Rect TextElement::bounds() {
    if (font == nullptr) {
        return Rect(position.x, position.y, 0, 0);
    }
    return Rect(position.x, position.y, font->measure(text), font->description()[kFontLineHeight]);
}

std::int32_t TextElement::handleEvent(Event* event) {
    destroyEvent(lastEvent);
    lastEvent = event;
    return 1;
}

} // namespace qx
