// The router's own mouse events. Doors also make entered and left events to replay a
// pointer that was already over them.
#pragma once

#include "core/EventObject.h"

namespace qx {

inline constexpr std::uint32_t kMouseEntered = 0xF0001u;
inline constexpr std::uint32_t kMouseLeft = 0xF0002u;
inline constexpr std::uint32_t kMouseMove = 0xF0003u;
inline constexpr std::uint32_t kMouseButtonDown = 0xF0004u;
inline constexpr std::uint32_t kMouseButtonUp = 0xF0005u;

class MouseEnteredEvent final : public EventObject<MouseEnteredEvent> {
public:
    MouseEnteredEvent() : EventObject(kMouseEntered, "QXMouse::entered") {}
};

class MouseLeftEvent final : public EventObject<MouseLeftEvent> {
public:
    MouseLeftEvent() : EventObject(kMouseLeft, "QXMouse::left") {}
};

class MouseMoveEvent final : public EventObject<MouseMoveEvent, PositionEvent> {
public:
    explicit MouseMoveEvent(Point at) : EventObject(kMouseMove, "QXMouse::move", at) {}
};

class MouseButtonDownEvent final : public EventObject<MouseButtonDownEvent, PositionEvent> {
public:
    explicit MouseButtonDownEvent(Point at)
        : EventObject(kMouseButtonDown, "QXMouse::buttonDown", at) {}
};

class MouseButtonUpEvent final : public EventObject<MouseButtonUpEvent, PositionEvent> {
public:
    explicit MouseButtonUpEvent(Point at) : EventObject(kMouseButtonUp, "QXMouse::buttonUp", at) {}
};

} // namespace qx
