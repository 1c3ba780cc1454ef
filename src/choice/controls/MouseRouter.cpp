#include "choice/controls/MouseRouter.h"

#include "choice/controls/MouseEvents.h"

namespace qx {

namespace {
// An event that could not be allocated is not sent.
void deliver(QXMouseListener* to, Event* event) {
    if (event != nullptr) {
        to->handleEvent(event);
    }
}
} // namespace

MouseRouter::MouseRouter() { table.addInterface(kIListenerName, static_cast<IListener*>(this)); }

std::int32_t MouseRouter::addParticipant(QXMouseListener* listener) {
    return participants.append(listener);
}

std::int32_t MouseRouter::handleEvent(Event* event) {
    if (event == nullptr) {
        return 1;
    }
    if (familyOf(event->type) == kFamilyHostPointer) {
        // Only the host makes this family, always with the pointer record's layout.
        const auto* pointer = static_cast<const HostPointerEvent*>(event);
        switch (event->type) {
        case kHostPointerMoved: pointerMoved(pointer->x, pointer->y); break;
        case kHostPointerPressed: buttonPressed(pointer->x, pointer->y); break;
        case kHostPointerReleased: buttonReleased(pointer->x, pointer->y); break;
        default: break;
        }
    }
    destroyEvent(event);
    return 1;
}

QXMouseListener* MouseRouter::hitTest(std::int32_t x, std::int32_t y) {
    // Every hit area is asked on every event, since participants move and hide between them.
    QXMouseListener* hit = nullptr;
    const std::int32_t count = participants.size();
    for (std::int32_t i = 0; i < count; ++i) {
        auto* participant = static_cast<QXMouseListener*>(participants.get(i));
        if (participant != nullptr && participant->hitArea().contains(x, y)) {
            hit = participant;
        }
    }
    return hit;
}

void MouseRouter::pointerMoved(std::int32_t x, std::int32_t y) {
    QXMouseListener* hit = hitTest(x, y);
    if (hit != nullptr) {
        if (hit != current) {
            deliver(hit, MouseEnteredEvent::make());
        }
        deliver(hit, MouseMoveEvent::make(Point(x, y)));
    }
    if (current != nullptr && current != hit) {
        deliver(current, MouseLeftEvent::make());
    }
    current = hit;
}

void MouseRouter::buttonPressed(std::int32_t x, std::int32_t y) {
    QXMouseListener* hit = hitTest(x, y);
    pressed = hit;
    if (hit != nullptr) {
        deliver(hit, MouseButtonDownEvent::make(Point(x, y)));
    }
}

void MouseRouter::buttonReleased(std::int32_t x, std::int32_t y) {
    QXMouseListener* hit = hitTest(x, y);
    if (hit != nullptr) {
        deliver(hit, MouseButtonUpEvent::make(Point(x, y)));
    }
    // The participant that took the press hears the release wherever it happens: this is
    // how a topic dragged from the bar reaches the door it is dropped on, and then itself.
    if (pressed != nullptr && pressed != hit) {
        deliver(pressed, MouseButtonUpEvent::make(Point(x, y)));
    }
    pressed = nullptr;
}

} // namespace qx
