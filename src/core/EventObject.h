// The module's events: each kind is a class that fixes its type and name, derived from
// EventObject so that its deleting destructor is the contract's first operation.
#pragma once

#include "core/Memory.h"
#include "qx/events.h"

namespace qx {

// Counts the module's events alive right now; every event is destroyed exactly once, so
// the count returns to zero after any complete exchange.
std::int32_t& liveModuleEvents();

template <class Derived, class Base = Event> class EventObject : public Base {
public:
    // A new event, or null when memory runs out.
    template <class... Args> static Derived* make(Args&&... args) {
        return new (fallible) Derived(static_cast<Args&&>(args)...);
    }

    void* destroy(std::uint32_t flags) override {
        auto* self = static_cast<Derived*>(this);
        self->~Derived();
        if ((flags & 1u) != 0) {
            ::operator delete(static_cast<void*>(self));
        }
        return self;
    }

protected:
    template <class... Args>
    explicit EventObject(Args&&... args) : Base(static_cast<Args&&>(args)...) {
        ++liveModuleEvents();
    }
    ~EventObject() { --liveModuleEvents(); }
};

// Destroys an event through its deleting destructor; null is allowed.
inline void destroyEvent(Event* event) {
    if (event != nullptr) {
        event->destroy(1);
    }
}

} // namespace qx
