// What is drawn and what can be touched. Every visible element of a scene publishes
// "IVisible" and "ITouchable" for its whole life.
#pragma once

#include "qx/canvas.h"
#include "qx/events.h"
#include "qx/geometry.h"

namespace qx {

class IVisible {
public:
    virtual void draw(Canvas* canvas) = 0;
    virtual Rect getBounds() = 0;
    // Nonzero: the element is not to be drawn.
    virtual std::int32_t isHidden() = 0;
    virtual void setPosition(std::int32_t x, std::int32_t y) = 0;

protected:
    ~IVisible() = default;
};

class ITouchable {
public:
    virtual std::int32_t accepts(std::int32_t a, std::int32_t b) = 0;
    // The same rectangle as IVisible's getBounds of the same object.
    virtual Rect getBounds() = 0;
    // Answers 1 when it took the event (and destroys it), 0 when the caller keeps it.
    virtual std::int32_t handleEvent(Event* event) = 0;

protected:
    ~ITouchable() = default;
};

} // namespace qx
