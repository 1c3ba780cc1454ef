// Building the scene from the "choice" folder: pictures, buttons, the topic bar and the
// doors with their places from the layout values.
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
#include "core/Memory.h"
#include "services/HostServices.h"
#include "visual/AlphaImage.h"
#include "visual/FrameStripImage.h"
#include "visual/ImageElement.h"

namespace qx {

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
    auto listen = [this](ImageButton* button) {
        if (router_ != nullptr && button != nullptr) {
            router_->addParticipant(button->mouseFace());
        }
    };

    roundCount_ = 0;
    for (int n = 1; n <= screen::kRounds; ++n) {
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
            leftMask_->setPosition(screen::kLeftMask.x, screen::kLeftMask.y);
        }
    }
    if (ResourceEntry* entry = find("rmask.png/image")) {
        rightMask_ = new (fallible) AlphaImage(entry);
        if (rightMask_ != nullptr) {
            rightMask_->setPosition(screen::kRightMask.x, screen::kRightMask.y);
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

    left_ = makeButton("l", screen::kLeftArrow, screen::kLeftArrowId, topicBar_);
    right_ = makeButton("r", screen::kRightArrow, screen::kRightArrowId, topicBar_);
    play_ = new (fallible) ImageButton;
    if (play_ != nullptr) {
        play_->setUpPlay(resources_, playPicture_, screen::kPlayButton.x, screen::kPlayButton.y,
                         screen::kPlayId, this);
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
        listen(button);
    }
    if (roundCount_ > 1) {
        previousRound_ =
            makeButton("bl", screen::kPreviousRoundButton, screen::kPreviousRoundId, this);
        nextRound_ = makeButton("br", screen::kNextRoundButton, screen::kNextRoundId, this);
        add(previousRound_);
        add(nextRound_);
        listen(previousRound_);
        listen(nextRound_);
    }
    add(cursor_);

    running_ = 1;
    // The clock wraps like a tick count, and so does the fade's start.
    const auto fadeStart =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(hostTime()) + screen::kOpeningDelayMs);
    fade_ = new (fallible) LinearCurve(screen::kFadeDark, 0.0, screen::kFadeMs, fadeStart);
    closing_ = 0;
}

ImageButton* QXChoice::makeButton(const char* baseName, Point at, std::int32_t id,
                                  QXButtonNotify* notify) {
    auto* button = new (fallible) ImageButton;
    if (button != nullptr) {
        button->setUp(resources_, baseName, at.x, at.y, id, notify);
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
        // With several rounds only the first round's doors show at first.
        slot->hidden = roundCount_ >= 2 && !screen::kRoundDoors[0].contains(n) ? 1 : 0;
        if (elements_ != nullptr) {
            elements_->add(slot);
        }
        if (router_ != nullptr) {
            router_->addParticipant(static_cast<QXMouseListener*>(slot));
        }
    });
}

} // namespace qx
