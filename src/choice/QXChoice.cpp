#include "choice/QXChoice.h"

#include <cstdio>
#include <initializer_list>

#include "choice/Cursor.h"
#include "choice/SceneElementList.h"
#include "choice/controls/ImageButton.h"
#include "choice/controls/MouseRouter.h"
#include "choice/controls/Porte.h"
#include "choice/controls/TopicBar.h"
#include "choice/topics/Curve.h"
#include "core/EventObject.h"
#include "core/Geometry.h"
#include "core/Memory.h"
#include "services/HostServices.h"
#include "visual/AlphaImage.h"
#include "visual/FrameStripImage.h"
#include "visual/ImageElement.h"

namespace qx {

namespace {
constexpr std::int32_t kPlay = 2;
constexpr std::int32_t kPreviousRound = 16;
constexpr std::int32_t kNextRound = 17;
constexpr std::int32_t kFadeMs = 400;
constexpr std::int32_t kOpeningDelayMs = 1200;

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

void QXChoice::setUp(Canvas* canvas, ResourceDirectory* resources, Handle* gameState) {
    auto* producer = static_cast<IQXProducer*>(hostFindInterface(nullptr, kIQXProducerName));
    canvas_ = canvas;
    elements_ = new (fallible) SceneElementList(canvas);
    for (Porte*& door : doors_) {
        door = nullptr;
    }
    gameState_ = gameState;

    ResourceEntry* choice = resources != nullptr ? resources->find("choice") : nullptr;
    resources_ = choice != nullptr ? resources->openDirectory(choice) : nullptr;
    auto find = [this](const char* name) {
        return resources_ != nullptr ? resources_->find(name) : nullptr;
    };
    auto add = [this](IVisible* element) {
        if (elements_ != nullptr && element != nullptr) {
            elements_->add(element);
        }
    };

    roundCount_ = 0;
    for (int n = 1; n <= kRounds; ++n) {
        char name[40];
        std::snprintf(name, sizeof name, "manche%2.2i.png/image", n);
        ResourceEntry* entry = find(name);
        if (entry == nullptr) {
            break;
        }
        rounds_[roundCount_] = new (fallible) ImageElement(entry);
        if (rounds_[roundCount_] != nullptr) {
            rounds_[roundCount_]->hidden = 1;
            add(rounds_[roundCount_]);
        }
        ++roundCount_;
    }
    if (rounds_[0] != nullptr) {
        rounds_[0]->hidden = 0;
    }
    currentRound_ = 0;

    if (ResourceEntry* entry = find("qmark.png/image")) {
        questionMark_ = new (fallible) AlphaImage(entry);
    }
    cursor_ = new (fallible) Cursor(resources_, "cursor.png/image");
    if (ResourceEntry* entry = find("lmask.png/image")) {
        leftMask_ = new (fallible) AlphaImage(entry);
        if (leftMask_ != nullptr) {
            leftMask_->setPosition(0, 400);
        }
    }
    if (ResourceEntry* entry = find("rmask.png/image")) {
        rightMask_ = new (fallible) AlphaImage(entry);
        if (rightMask_ != nullptr) {
            rightMask_->setPosition(585, 400);
        }
    }
    if (ResourceEntry* entry = find("playbutton.png/image")) {
        playPicture_ = new (fallible) FrameStripImage(entry);
    }

    const ChoiceValues values(resources_);
    const std::int32_t showFrames = values.showFrames();

    router_ = new (fallible) MouseRouter;
    Font* font = producer != nullptr ? producer->fontFor("AlternateFont") : nullptr;
    topicBar_ = new (fallible) TopicBar(font, producer, router_, cursor_, showFrames);

    left_ = makeButton("l", 0, 430, 0, topicBar_);
    right_ = makeButton("r", 610, 430, 1, topicBar_);
    play_ = new (fallible) ImageButton;
    if (play_ != nullptr) {
        play_->setUpPlay(resources_, playPicture_, 0, 0, kPlay, this);
    }

    setUpDoors(values);
    // Every entry is stored as given: the record is the host's, and so is its size.
    values.doorMap(doorMap_);

    add(topicBar_);
    add(play_);
    add(leftMask_);
    add(rightMask_);
    add(left_);
    add(right_);
    for (ImageButton* button : {left_, right_, play_}) {
        if (router_ != nullptr && button != nullptr) {
            router_->addParticipant(button->mouseFace());
        }
    }
    if (roundCount_ > 1) {
        previousRound_ = makeButton("bl", 30, 200, kPreviousRound, this);
        nextRound_ = makeButton("br", 550, 200, kNextRound, this);
        add(previousRound_);
        add(nextRound_);
        for (ImageButton* button : {previousRound_, nextRound_}) {
            if (router_ != nullptr && button != nullptr) {
                router_->addParticipant(button->mouseFace());
            }
        }
    }
    add(cursor_);

    running_ = 1;
    // The clock wraps like a tick count, and so does the fade's start.
    const auto fadeStart =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(hostTime()) + kOpeningDelayMs);
    fade_ = new (fallible) LinearCurve(0.6, 0.0, kFadeMs, fadeStart);
    closing_ = 0;
}

ImageButton* QXChoice::makeButton(const char* baseName, std::int32_t x, std::int32_t y,
                                  std::int32_t id, QXButtonNotify* notify) {
    auto* button = new (fallible) ImageButton;
    if (button != nullptr) {
        button->setUp(resources_, baseName, x, y, id, notify);
    }
    return button;
}

void QXChoice::setUpDoors(const ChoiceValues& values) {
    values.forEachDoor([this](const DoorValues& door) {
        if (!door.made()) {
            return;
        }
        Porte*& slot = doors_[door.number - 1];
        slot = new (fallible) Porte;
        if (slot == nullptr || !door.setUp()) {
            return;
        }
        const std::int32_t n = door.number;
        char picture[40];
        std::snprintf(picture, sizeof picture, "pt%1.1i.png/image", static_cast<int>(n));
        slot->setUp(resources_, picture, questionMark_, door.position.point.x,
                    door.position.point.y, door.textCentre.point.x, door.textCentre.point.y,
                    cursor_);
        slot->hidden = roundCount_ >= 2 && n >= 5 ? 1 : 0;
        if (elements_ != nullptr) {
            elements_->add(slot);
        }
        if (router_ != nullptr) {
            router_->addParticipant(static_cast<QXMouseListener*>(slot));
        }
    });
}

std::int32_t QXChoice::handleEvent(Event* event) {
    if (event == nullptr) {
        return 1;
    }
    switch (event->type) {
    case kHostPointerMoved:
        if (cursor_ != nullptr && router_ != nullptr) {
            auto* pointer = static_cast<HostPointerEvent*>(event);
            cursor_->setPosition(pointer->x, pointer->y);
            router_->handleEvent(event);
        } else {
            if (cursor_ != nullptr) {
                auto* pointer = static_cast<HostPointerEvent*>(event);
                cursor_->setPosition(pointer->x, pointer->y);
            }
            destroyEvent(event);
        }
        break;
    case kHostPointerPressed:
    case kHostPointerReleased:
        if (router_ != nullptr) {
            router_->handleEvent(event);
        } else {
            destroyEvent(event);
        }
        break;
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
        if (fade_->value() >= 0.599) {
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
    case kPlay:
        if (closing_ == 0) {
            closing_ = 1;
            destroy(fade_);
            fade_ = new (fallible) LinearCurve(0.0, 0.6, kFadeMs);
            writeTopics();
        }
        break;
    case kPreviousRound:
        leaveRound();
        enterRound(currentRound_ - 1 < 0 ? kRounds - 1 : currentRound_ - 1);
        break;
    case kNextRound:
        leaveRound();
        enterRound((currentRound_ + 1) % kRounds);
        break;
    default: break;
    }
}

void QXChoice::writeTopics() {
    if (gameState_ == nullptr) {
        return;
    }
    for (int i = 0; i < kMappedDoors; ++i) {
        if (doors_[i] != nullptr) {
            gameState_[wide(kFirstDoorWord) + doorMap_[i]] =
                reinterpret_cast<Handle>(doors_[i]->heldTopic());
        }
    }
}

void QXChoice::leaveRound() {
    // The first round's picture stays; later rounds are drawn above it.
    if (currentRound_ > 0 && rounds_[currentRound_] != nullptr) {
        rounds_[currentRound_]->hidden = 1;
    }
}

void QXChoice::enterRound(std::int32_t round) {
    currentRound_ = round;
    if (rounds_[round] != nullptr) {
        rounds_[round]->hidden = 0;
    }
    hostLog(1, "QXChoice::Manche %i selected\n", round + 1);
    // Round 1 shows doors 1-4, round 2 doors 5-7, round 3 doors 8 and 9.
    static constexpr int kFirst[kRounds] = {1, 5, 8};
    static constexpr int kLast[kRounds] = {4, 7, 9};
    for (int slot = 0; slot < kMappedDoors; ++slot) {
        if (doors_[slot] != nullptr) {
            const int n = slot + 1;
            doors_[slot]->hidden = n >= kFirst[round] && n <= kLast[round] ? 0 : 1;
        }
    }
}

} // namespace qx
