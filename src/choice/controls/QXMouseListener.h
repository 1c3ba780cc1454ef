// A participant of mouse routing: anything on the screen that takes the pointer.
#pragma once

#include "qx/events.h"
#include "qx/geometry.h"

namespace qx {

inline constexpr const char* kQXMouseListenerName = "QXMouseListener";

class QXMouseListener {
public:
    // Takes the event (the receiver destroys it) and answers 1. A class that is also an
    // ITouchable serves both handleEvent operations with one override.
    virtual std::int32_t handleEvent(Event* event) = 0;
    // Screen rectangle in which the participant takes the pointer; may be empty, and may
    // differ from the element's bounds.
    virtual Rect hitArea() = 0;

protected:
    ~QXMouseListener() = default;
};

} // namespace qx
