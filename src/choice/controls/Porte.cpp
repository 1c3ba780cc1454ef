#include "choice/controls/Porte.h"

#include "choice/ChoiceEvents.h"
#include "choice/ChoiceScreen.h"
#include "choice/Cursor.h"
#include "choice/controls/LockAllDoors.h"
#include "choice/controls/MouseEvents.h"
#include "core/EventObject.h"
#include "core/Geometry.h"
#include "core/Memory.h"
#include "media/Sound.h"
#include "media/SoundResource.h"
#include "services/HostServices.h"
#include "visual/AlphaImage.h"
#include "visual/TextElement.h"
#include "visual/TranslucentImage.h"

namespace qx {

namespace {
SoundResource* makeSound(ResourceDirectory* resources, const char* name) {
    ResourceEntry* entry = resources != nullptr ? resources->find(name) : nullptr;
    return entry != nullptr ? new (fallible) SoundResource(entry) : nullptr;
}

void play(SoundResource* sound) {
    if (sound != nullptr && sound->sound() != nullptr) {
        sound->sound()->play(nullptr);
    }
}
} // namespace

Porte::Porte() {
    table.addInterface(kQXMouseListenerName, static_cast<QXMouseListener*>(this));
    table.addInterface(kQXLockPorteName, static_cast<QXLockPorte*>(this));
}

Porte::~Porte() {
    delete picture_;
    delete selectedSound_;
    delete deletedSound_;
}

void Porte::setUp(ResourceDirectory* resources, const char* pictureName, AlphaImage* questionMark,
                  std::int32_t x, std::int32_t y, std::int32_t textX, std::int32_t textY,
                  Cursor* cursor) {
    ResourceEntry* entry = resources != nullptr ? resources->find(pictureName) : nullptr;
    if (entry != nullptr) {
        picture_ = new (fallible) TranslucentImage(x, y, entry);
    }
    position = Point(x, y);
    textCentre_ = Point(textX, textY);
    questionMark_ = questionMark;
    const Rect mark = questionMark_ != nullptr ? questionMark_->bounds() : Rect();
    if (picture_ != nullptr) {
        const Rect p = picture_->bounds();
        markPosition_ = Point(saturated(wide(x) + (wide(p.width) - mark.width) / 2),
                              saturated(wide(y) + (wide(p.height) - mark.height) / 2));
    } else {
        markPosition_ =
            Point(saturated(wide(x) + mark.width / 2), saturated(wide(y) + mark.height / 2));
    }
    markOpacity_ = 1.0;
    pictureOpacity_ = 1.0;
    cursor_ = cursor;
    topicItem_ = nullptr;
    topicText_ = nullptr;
    holder_ = nullptr;
    selectedSound_ = makeSound(resources, "selected.wav/*");
    deletedSound_ = makeSound(resources, "deleted.wav/*");
}

Point Porte::textPlacement() {
    const Rect bounds = topicText_ != nullptr ? topicText_->bounds() : Rect();
    std::int64_t x = wide(textCentre_.x) - bounds.width / 2;
    if (x < 0) {
        x = 0;
    }
    if (x + bounds.width > screen::kWidth) {
        x = wide(screen::kWidth) - bounds.width;
    }
    return Point(saturated(x), saturated(wide(textCentre_.y) - bounds.height / 2));
}

void Porte::draw(Canvas* canvas) {
    if (hidden != 0) {
        return;
    }
    if (picture_ != nullptr) {
        picture_->setOpacity(pictureOpacity_);
        picture_->setPosition(position.x, position.y);
        picture_->draw(canvas);
    }
    if (topicText_ != nullptr) {
        // The title itself is drawn by its topic button, above the doors.
        const Point at = textPlacement();
        topicText_->setPosition(at.x, at.y);
        return;
    }
    if (questionMark_ != nullptr) {
        questionMark_->setOpacity(markOpacity_);
        questionMark_->setPosition(markPosition_.x, markPosition_.y);
        questionMark_->draw(canvas);
    }
}

Rect Porte::hitArea() {
    if (hidden != 0) {
        return Rect();
    }
    if (topicText_ != nullptr) {
        return topicText_->bounds();
    }
    if (picture_ != nullptr) {
        return picture_->bounds();
    }
    if (questionMark_ != nullptr) {
        const Rect mark = questionMark_->bounds();
        return Rect(markPosition_.x, markPosition_.y, mark.width, mark.height);
    }
    return Rect();
}

std::int32_t Porte::handleEvent(Event* event) {
    // A door hidden while the title it gave up is on the cursor (a round button released
    // over) still hears that release, or the title would never find its way back.
    const bool lifted = armed_ != 0 && event != nullptr && event->type == kMouseButtonUp;
    if ((hidden == 0 || lifted) && event != nullptr) {
        switch (event->type) {
        case kMouseEntered: entered(); break;
        case kMouseLeft: left(); break;
        case kMouseButtonDown:
            if (holder_ != nullptr && locked_ == 0) {
                takeOut();
            }
            break;
        case kMouseButtonUp: buttonUp(static_cast<PositionEvent*>(event)->position); break;
        default: break;
        }
    }
    destroyEvent(event);
    return 1;
}

void Porte::entered() {
    const bool carrying = cursor_ != nullptr && cursor_->carrier() != nullptr;
    if (topicText_ == nullptr) {
        if (carrying) {
            markOpacity_ = 0.0;
            pictureOpacity_ = 0.0;
        } else {
            markOpacity_ = 0.6;
        }
    } else if (!carrying) {
        topicText_->setStyle(1);
        pictureOpacity_ = 1.0;
    }
}

void Porte::left() {
    if (topicText_ == nullptr) {
        markOpacity_ = 1.0;
        pictureOpacity_ = 1.0;
    } else {
        topicText_->setStyle(0);
        pictureOpacity_ = 0.0;
    }
}

void Porte::takeOut() {
    lockAllDoors(1);
    play(deletedSound_);
    // A topic button without a text element still hands its topic over, with nothing to place.
    if (topicText_ != nullptr) {
        const Point at = textPlacement();
        topicText_->setPosition(at.x, at.y);
    }
    send(holder_, makeOpenFrame());
    send(holder_, ToggleSelectEvent::make(0));
    send(holder_, MouseButtonDownEvent::make(Point(0, 0)));
    holder_ = nullptr;
    topicText_ = nullptr;
    topicItem_ = nullptr;
    pictureOpacity_ = 1.0;
    markOpacity_ = 1.0;
    armed_ = 1;
}

void Porte::buttonUp(Point at) {
    if (armed_ != 0) {
        if (!hitArea().contains(at.x, at.y)) {
            QXMouseListener* carrier = cursor_ != nullptr ? cursor_->carrier() : nullptr;
            if (carrier == nullptr) {
                return;
            }
            armed_ = 0;
            send(carrier, MouseButtonUpEvent::make(Point(0, 0)));
            send(carrier, ToggleSelectEvent::make(1));
            send(carrier, makeGiveBack());
            return;
        }
        armed_ = 0;
    }
    if (holder_ == nullptr) {
        dropIn();
    }
}

void Porte::dropIn() {
    holder_ = cursor_ != nullptr ? cursor_->carrier() : nullptr;
    if (holder_ == nullptr) {
        return;
    }
    play(selectedSound_);
    topicText_ = cursor_->carriedElement();
    topicItem_ = cursor_->carriedValue();
    send(holder_, makeTopicChosen(this));
    if (topicText_ != nullptr) {
        topicText_->setStyle(1);
    }
    pictureOpacity_ = 1.0;
    markOpacity_ = 0.0;
    cursor_->drop();
    lockAllDoors(0);
}

void Porte::lock() {
    locked_ = 1;
    hostLog(kLogTrace, "QXChoice::Porte %p locked\n", static_cast<void*>(this));
}

void Porte::unlock() {
    locked_ = 0;
    hostLog(kLogTrace, "QXChoice::Porte %p unlocked\n", static_cast<void*>(this));
}

void Porte::send(QXMouseListener* target, Event* event) {
    if (event == nullptr) {
        return;
    }
    if (target != nullptr) {
        target->handleEvent(event);
    } else {
        destroyEvent(event);
    }
}

} // namespace qx
