#include "qx/canvas.h"

namespace qx {

std::int32_t Font::setStyle(std::int32_t n) {
    currentStyle = n;
    return styler != nullptr ? styler->setStyle(n) : 0;
}

std::int32_t Font::measure(const char* text) {
    return renderer != nullptr && text != nullptr ? renderer->measure(text) : 0;
}

void Font::draw(Canvas* canvas, std::int32_t x, std::int32_t y, const char* text) {
    if (renderer != nullptr && text != nullptr) {
        renderer->draw(canvas, x, y, text);
    }
}

void Font::setPrimaryScale(double value) {
    if (primaryScaleInterface != nullptr) {
        primaryScaleInterface->set(value);
    }
}

void Font::setSecondaryScale(double value) {
    if (secondaryScaleInterface != nullptr) {
        secondaryScaleInterface->set(value);
    }
}

double Font::primaryScale() {
    return primaryScaleInterface != nullptr ? primaryScaleInterface->get() : 1.0;
}

double Font::secondaryScale() {
    return secondaryScaleInterface != nullptr ? secondaryScaleInterface->get() : 1.0;
}

} // namespace qx
