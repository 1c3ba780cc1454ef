// What is drawn and what can be touched. Every visible element of a scene publishes
// "IVisible" and "ITouchable" for its whole life.
#pragma once

#include "qx/canvas.h"
#include "qx/events.h"
#include "qx/geometry.h"

namespace qx {

inline constexpr const char* kIVisibleName = "IVisible";

// Operations that answer a Rect write it to a result pointer and answer that pointer: that
// is the form Microsoft's compiler gives a member function returning a record (this in ECX,
// the result's address on the stack), while GCC would swap the two.
class IVisible {
public:
    virtual void draw(Canvas* canvas) = 0;
    virtual Rect* getBounds(Rect* bounds) = 0;
    // Nonzero: the element is not to be drawn.
    virtual std::int32_t isHidden() = 0;
    virtual void setPosition(std::int32_t x, std::int32_t y) = 0;

protected:
    ~IVisible() = default;
};

inline constexpr const char* kITouchableName = "ITouchable";

class ITouchable {
public:
    virtual std::int32_t accepts(std::int32_t a, std::int32_t b) = 0;
    // The same rectangle as IVisible's getBounds of the same object.
    virtual Rect* getBounds(Rect* bounds) = 0;
    // Answers 1 when it took the event (and destroys it), 0 when the caller keeps it.
    virtual std::int32_t handleEvent(Event* event) = 0;

protected:
    ~ITouchable() = default;
};

// The rectangle an element answers, for callers holding either interface.
inline Rect boundsOf(IVisible* element) {
    Rect bounds;
    element->getBounds(&bounds);
    return bounds;
}
inline Rect boundsOf(ITouchable* element) {
    Rect bounds;
    element->getBounds(&bounds);
    return bounds;
}

} // namespace qx
