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
// Every operation may be called any time while the element lives, on the host's thread.
class IVisible {
public:
    // Within drawScene: draws the element at its position plus the canvas origin. The
    // canvas is borrowed for the call.
    virtual void draw(Canvas* canvas) = 0;
    // Writes the element's rectangle into the caller's bounds and answers bounds.
    virtual Rect* getBounds(Rect* bounds) = 0;
    // Nonzero: the element is not to be drawn.
    virtual std::int32_t isHidden() = 0;
    // The top-left corner, relative to the origin its parent gives; used from the next draw.
    virtual void setPosition(std::int32_t x, std::int32_t y) = 0;

protected:
    ~IVisible() = default;
};

inline constexpr const char* kITouchableName = "ITouchable";

// For the host's side of input: scenes route their own pointer events and call none of
// these. Any time while the element lives.
class ITouchable {
public:
    // The module's elements answer 1, whatever the arguments.
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
