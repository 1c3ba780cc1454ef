#include "choice/QXChoice.h"

#include "choice/Cursor.h"
#include "choice/SceneElementList.h"
#include "choice/controls/ImageButton.h"
#include "choice/controls/MouseRouter.h"
#include "choice/controls/Porte.h"
#include "choice/controls/TopicBar.h"
#include "choice/topics/Curve.h"
#include "core/EventObject.h"
#include "core/Memory.h"
#include "visual/AlphaImage.h"
#include "visual/FrameStripImage.h"
#include "visual/ImageElement.h"

namespace qx {

namespace {
template <class T> void destroy(T*& member) {
    delete member;
    member = nullptr;
}
} // namespace

QXChoice::QXChoice() : table("QXChoice") {
    table.addInterface(kIQXSceneName, static_cast<IQXScene*>(this));
    table.addInterface(kIReferenceCountName, static_cast<IReferenceCount*>(this));
    table.addInterface(kQXButtonNotifyName, static_cast<QXButtonNotify*>(this));
}

void QXChoice::releaseReference() {
    if (--references_ == 0) {
        delete this;
    }
}

std::int32_t QXChoice::handleEvent(Event* event) {
    if (event == nullptr) {
        return 1;
    }
    auto route = [this](Event* routed) {
        if (router_ != nullptr) {
            router_->handleEvent(routed);
        } else {
            destroyEvent(routed);
        }
    };
    switch (event->type) {
    case kHostPointerMoved:
        // Without a cursor there is nothing to point with: the move goes nowhere.
        if (cursor_ == nullptr) {
            destroyEvent(event);
            break;
        }
        cursor_->setPosition(static_cast<HostPointerEvent*>(event)->x,
                             static_cast<HostPointerEvent*>(event)->y);
        route(event);
        break;
    case kHostPointerPressed:
    case kHostPointerReleased: route(event); break;
    default: destroyEvent(event); break;
    }
    return 1;
}

void QXChoice::update() {
    if (topicBar_ != nullptr) {
        topicBar_->arrange();
    }
    if (fade_ != nullptr && closing_ == 0) {
        if (fade_->value() == 0.0) {
            destroy(fade_);
        }
    } else if (fade_ != nullptr && closing_ == 1) {
        if (fade_->value() >= screen::kClosedAt) {
            destroy(fade_);
            running_ = 0;
        }
    }
}

void QXChoice::drawScene() {
    if (elements_ != nullptr) {
        elements_->drawAll();
    }
}

void QXChoice::tearDown() {
    destroy(elements_);
    canvas_ = nullptr;
    destroy(router_);
    for (ImageElement*& round : rounds_) {
        destroy(round);
    }
    destroy(cursor_);
    for (Porte*& door : doors_) {
        destroy(door);
    }
    destroy(left_);
    destroy(right_);
    destroy(previousRound_);
    destroy(nextRound_);
    destroy(questionMark_);
    destroy(topicBar_);
    destroy(fade_);
    destroy(leftMask_);
    destroy(rightMask_);
    destroy(play_);
    destroy(playPicture_);
}

void QXChoice::buttonClicked(std::int32_t id) {
    switch (id) {
    case screen::kPlayId:
        if (closing_ == 0) {
            closing_ = 1;
            destroy(fade_);
            fade_ = new (fallible) LinearCurve(0.0, screen::kFadeDark, screen::kFadeMs);
            writeTopics();
        }
        break;
    case screen::kPreviousRoundId:
        leaveRound();
        enterRound(currentRound_ - 1 < 0 ? screen::kRounds - 1 : currentRound_ - 1);
        break;
    case screen::kNextRoundId:
        leaveRound();
        enterRound((currentRound_ + 1) % screen::kRounds);
        break;
    default: break;
    }
}

} // namespace qx
