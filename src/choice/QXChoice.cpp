#include "choice/QXChoice.h"

#include "core/EventObject.h"

namespace qx {

QXChoice::QXChoice() : table("QXChoice") {
    table.addInterface("IQXScene", static_cast<IQXScene*>(this));
    table.addInterface("IReferenceCount", static_cast<IReferenceCount*>(this));
    table.addInterface("QXButtonNotify", static_cast<QXButtonNotify*>(this));
}

std::int32_t QXChoice::handleEvent(Event* event) {
    destroyEvent(event);
    return 1;
}

void QXChoice::setUp(Canvas* canvas, ResourceDirectory* /*resources*/, Handle* gameState) {
    canvas_ = canvas;
    gameState_ = gameState;
    running_ = 1;
    closing_ = 0;
}

void QXChoice::update() {}

void QXChoice::drawScene() {}

void QXChoice::tearDown() { canvas_ = nullptr; }

std::int32_t QXChoice::isRunning() { return running_; }

void QXChoice::addReference() { ++references_; }

void QXChoice::releaseReference() {
    if (--references_ == 0) {
        delete this;
    }
}

void QXChoice::buttonClicked(std::int32_t /*id*/) {}

} // namespace qx
