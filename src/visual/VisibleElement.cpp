#include "visual/VisibleElement.h"

namespace qx {

VisibleElement::VisibleElement() {
    table.addInterface(kIVisibleName, static_cast<IVisible*>(this));
    table.addInterface(kITouchableName, static_cast<ITouchable*>(this));
}

void VisibleElement::draw(Canvas*) {}

Rect* VisibleElement::getBounds(Rect* result) {
    *result = bounds();
    return result;
}

Rect VisibleElement::bounds() { return Rect(position.x, position.y, frame.width, frame.height); }

std::int32_t VisibleElement::accepts(std::int32_t, std::int32_t) { return 1; }

std::int32_t VisibleElement::handleEvent(Event*) { return 0; }

} // namespace qx
