// choice/controls/, part of the choice floor (choice/QXChoice.h): mouse routing, doors,
// door locking, image buttons and the topic bar.
//
// Turns the host's pointer events into mouse events for the participant under the pointer.
// Participants are borrowed: they are registered for the router's whole life and outlive it.
#pragma once

#include "choice/controls/QXMouseListener.h"
#include "qx/containers.h"
#include "qx/events.h"
#include "qx/registry.h"

namespace qx {

class MouseRouter final : public IListener {
public:
    MouseRouter();
    MouseRouter(const MouseRouter&) = delete;
    MouseRouter& operator=(const MouseRouter&) = delete;
    ~MouseRouter() = default;

    // Later participants win where hit areas overlap. Returns the participant's index.
    std::int32_t addParticipant(QXMouseListener* listener);

    // Routes a host pointer event and destroys it; anything else is only destroyed.
    std::int32_t handleEvent(Event* event) override;

private:
    QXMouseListener* hitTest(std::int32_t x, std::int32_t y);
    void pointerMoved(std::int32_t x, std::int32_t y);
    void buttonPressed(std::int32_t x, std::int32_t y);
    void buttonReleased(std::int32_t x, std::int32_t y);

    InterfaceTable table;
    PointerArray participants;
    QXMouseListener* current = nullptr; // under the pointer at the last move
    QXMouseListener* pressed = nullptr; // under the pointer at the last press, until release
};

} // namespace qx
