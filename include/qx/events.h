// Events: polymorphic records handed from one sender to exactly one receiver.
//
// The receiver owns the event it is given and destroys it through its first virtual
// operation, the deleting destructor, called with the flag 1. One object is never given
// to two receivers; a new event is made for every delivery.
#pragma once

#include "qx/geometry.h"
#include "qx/types.h"

namespace qx {

// The high 16 bits of an event type name its family, the low 16 bits the kind.
inline constexpr std::uint32_t kFamilyMask = 0xFFFF0000u;
inline constexpr std::uint32_t kFamilyReadCompletion = 0x20000u;
inline constexpr std::uint32_t kFamilyHostPointer = 0x40000u;
inline constexpr std::uint32_t kFamilySound = 0x50000u;
inline constexpr std::uint32_t kFamilyMouse = 0xF0000u;
inline constexpr std::uint32_t kFamilyChoice = 0x100000u;
inline constexpr std::uint32_t kFamilyOutline = 0x120000u;

inline constexpr std::uint32_t kHostPointerMoved = 0x40001u;
inline constexpr std::uint32_t kHostPointerPressed = 0x40002u;
inline constexpr std::uint32_t kHostPointerReleased = 0x40003u;

inline constexpr std::uint32_t familyOf(std::uint32_t type) { return type & kFamilyMask; }

class Event {
public:
    // Mirrors a scalar deleting destructor: runs the destructor, frees the storage when
    // bit 0 of flags is set, and returns the object's address. Called once, by the event's
    // receiver, with 1; the storage is freed by the side that made the event.
    virtual void* destroy(std::uint32_t flags) = 0;

    std::uint32_t type;
    const char* name; // fixed per kind; for diagnostics, never compared

protected:
    Event(std::uint32_t eventType, const char* eventName) : type(eventType), name(eventName) {}
    ~Event() = default;
};

// An event whose payload is one point in screen coordinates.
class PositionEvent : public Event {
public:
    Point position;

protected:
    PositionEvent(std::uint32_t eventType, const char* eventName, Point at)
        : Event(eventType, eventName), position(at) {}
    ~PositionEvent() = default;
};

// Made by the host: pointer moved (0x40001), pressed (0x40002), released (0x40003).
// x and y are the fifth and sixth words of the object, counting the vtable pointer first.
class HostPointerEvent : public Event {
public:
    std::uint32_t buttons; // host's own word; modules do not read it
    std::int32_t x;
    std::int32_t y;

protected:
    HostPointerEvent(std::uint32_t eventType, const char* eventName, std::int32_t px,
                     std::int32_t py)
        : Event(eventType, eventName), buttons(0), x(px), y(py) {}
    ~HostPointerEvent() = default;
};

inline constexpr const char* kIListenerName = "IListener";

// A receiver of events: readers' completions, sounds' finished messages and the events
// between a scene's own parts.
class IListener {
public:
    // On the host's thread, whenever the sender has an event for it: a reader's completion
    // from within processEvents, a sound's finished message any time after play (even from
    // inside stop). Takes the event, destroying it whether it acted on it or not; answers 1.
    virtual std::int32_t handleEvent(Event* event) = 0;

protected:
    ~IListener() = default;
};

QX_BEGIN_LAYOUT_CHECKS
QX_LAYOUT_CHECK(offsetof(Event, type) == 4);
QX_LAYOUT_CHECK(offsetof(Event, name) == 8);
QX_LAYOUT_CHECK(sizeof(Event) == 12);
QX_LAYOUT_CHECK(offsetof(PositionEvent, position) == 12);
QX_LAYOUT_CHECK(offsetof(HostPointerEvent, x) == 16);
QX_LAYOUT_CHECK(offsetof(HostPointerEvent, y) == 20);
QX_END_LAYOUT_CHECKS

} // namespace qx
