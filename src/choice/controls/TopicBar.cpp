#include "choice/controls/TopicBar.h"

#include <cstdlib>
#include <cstring>

#include "choice/ChoiceEvents.h"
#include "choice/controls/MouseRouter.h"
#include "choice/topics/TopicButton.h"
#include "core/EventObject.h"
#include "core/Geometry.h"
#include "core/Memory.h"
#include "services/HostServices.h"

namespace qx {

namespace {
using screen::kBarGap;

// Compares the terminator too, so "xxy" is not skipped; nothing past the code field is read.
bool skippedCode(const TopicItem* item) {
    return std::strncmp(item->code, "xx", 3) == 0 || std::strncmp(item->code, "cd", 3) == 0;
}
// Whether a title whose left edge stands at x counts as visible in the bar.
bool inBar(std::int32_t x) { return x > screen::kBarVisibleAfter && x < screen::kBarVisibleBefore; }
} // namespace

TopicBar::TopicBar(Font* font, IQXProducer* producer, MouseRouter* router, Cursor* cursor,
                   std::int32_t showFrames) {
    table.addInterface(kIVisibleName, static_cast<IVisible*>(this));
    table.addInterface(kQXButtonNotifyName, static_cast<QXButtonNotify*>(this));
    table.addInterface(kIListenerName, static_cast<IListener*>(this));
    std::int32_t x = left_;
    std::int32_t i = 0;
    for (; producer != nullptr && i < kMaxTopics; ++i) {
        TopicItem* item = producer->itemAt(i);
        if (item == nullptr) {
            break;
        }
        if (skippedCode(item)) {
            continue;
        }
        auto* button = new (fallible) TopicButton(static_cast<IListener*>(this), font,
                                                  atomName(item->title), cursor, item, showFrames);
        if (button == nullptr) {
            continue;
        }
        slots_[i] = button;
        button->setPosition(x, screen::kBarRow);
        if (router != nullptr) {
            router->addParticipant(button->mouseFace());
        }
        x = saturated(wide(x) + button->measure().width + kBarGap);
    }
    count_ = i;
}

TopicBar::~TopicBar() {
    for (std::int32_t i = 0; i < count_; ++i) {
        delete slots_[i];
        slots_[i] = nullptr;
    }
}

void TopicBar::draw(Canvas* canvas) {
    for (std::int32_t i = 0; i < count_; ++i) {
        if (slots_[i] != nullptr) {
            slots_[i]->draw(canvas);
        }
    }
}

std::int32_t TopicBar::widthOf(TopicButton* button) { return button->measure().width; }

void TopicBar::moveTo(TopicButton* button, std::int32_t x) {
    button->setPosition(x, button->position.y);
}

TopicBar::VisibleEnds TopicBar::visibleEnds() const {
    // Both ends in one walk: the bar looks for them every frame.
    VisibleEnds ends;
    std::int32_t leftX = 0;
    std::int32_t rightX = 0;
    for (std::int32_t i = 0; i < count_; ++i) {
        const TopicButton* b = slots_[i];
        if (b == nullptr || !inBar(b->position.x)) {
            continue;
        }
        const std::int32_t x = b->position.x;
        if (ends.left < 0 || x < leftX) {
            ends.left = i;
            leftX = x;
        }
        if (ends.right < 0 || x > rightX) {
            ends.right = i;
            rightX = x;
        }
    }
    return ends;
}

void TopicBar::arrange() {
    for (std::int32_t i = 0; i < count_; ++i) {
        if (slots_[i] != nullptr) {
            slots_[i]->update();
        }
    }
    bool any = false;
    std::int64_t minX = 0;
    std::int64_t maxRight = 0;
    for (std::int32_t i = 0; i < count_; ++i) {
        TopicButton* b = slots_[i];
        if (b == nullptr || b->isSelected() != 0) {
            continue;
        }
        const std::int64_t right = wide(b->position.x) + widthOf(b);
        minX = any && minX < b->position.x ? minX : b->position.x;
        maxRight = any && maxRight > right ? maxRight : right;
        any = true;
    }
    // With every topic in a door there is nothing to centre on; the row is left to wrap.
    if (any && maxRight - minX <= screen::kBarCentredExtent) {
        const std::int64_t offset = screen::kBarMiddle - (maxRight - minX) / 2 - minX;
        for (std::int32_t i = 0; i < count_; ++i) {
            if (slots_[i] != nullptr) {
                moveTo(slots_[i], saturated(slots_[i]->position.x + offset));
            }
        }
        return;
    }
    wrapAround();
}

void TopicBar::wrapAround() {
    const VisibleEnds ends = visibleEnds();
    const std::int32_t r = ends.right;
    const std::int32_t l = ends.left;
    if (r >= 0) {
        std::int32_t n = (r + 1) % count_;
        while (slots_[n] == nullptr) {
            n = (n + 1) % count_;
        }
        moveTo(slots_[n], saturated(wide(slots_[r]->position.x) + widthOf(slots_[r]) + kBarGap));
    }
    if (l >= 0) {
        std::int32_t p = l - 1 < 0 ? count_ - 1 : l - 1;
        while (slots_[p] == nullptr) {
            p = p - 1 < 0 ? count_ - 1 : p - 1;
        }
        moveTo(slots_[p], saturated(wide(slots_[l]->position.x) - widthOf(slots_[p]) - kBarGap));
    }
    TopicButton* k = nullptr;
    for (std::int32_t i = 0; i < count_; ++i) {
        TopicButton* b = slots_[i];
        if (b == nullptr) {
            continue;
        }
        if (k != nullptr) {
            const std::int64_t step = wide(widthOf(k)) + kBarGap;
            if (std::abs(wide(b->position.x) - k->position.x) < step) {
                moveTo(b, saturated(k->position.x + step));
            }
        }
        k = b;
    }
}

void TopicBar::buttonClicked(std::int32_t id) {
    auto onScreen = [this](std::int32_t i) {
        return slots_[i] != nullptr && slots_[i]->isOnScreen() != 0;
    };
    std::int32_t shown = 0;
    for (std::int32_t i = 0; i < count_; ++i) {
        shown += onScreen(i) ? 1 : 0;
    }
    if (shown == 0 || (id != screen::kLeftArrowId && id != screen::kRightArrowId)) {
        return;
    }
    // One turn at most: on the host's running clock a shrinking button can leave the screen
    // between the count and the search.
    std::int32_t i =
        id == screen::kLeftArrowId ? leftmostVisible() - 1 : (rightmostVisible() + 1) % count_;
    if (i < 0) {
        i = count_ - 1;
    }
    for (std::int32_t step = 0; step < count_ && !onScreen(i); ++step) {
        i = id == screen::kLeftArrowId ? (i - 1 < 0 ? count_ - 1 : i - 1) : (i + 1) % count_;
    }
    if (!onScreen(i)) {
        return;
    }
    const std::int32_t distance =
        saturated(id == screen::kLeftArrowId ? wide(widthOf(slots_[i])) + kBarGap
                                             : -(kBarGap + wide(widthOf(slots_[i]))));
    for (TopicButton* button : slots_) {
        if (button != nullptr) {
            button->slideBy(distance);
        }
    }
}

std::int32_t TopicBar::slotOf(const TopicButton* button) const {
    for (std::int32_t i = 0; i < count_; ++i) {
        if (slots_[i] == button) {
            return i;
        }
    }
    return -1;
}

std::int32_t TopicBar::handleEvent(Event* event) {
    const std::uint32_t type = event != nullptr ? event->type : 0;
    if (type == kStartShrink) {
        TopicButton* sender = static_cast<StartShrinkEvent*>(event)->sender;
        const std::int32_t slot = slotOf(sender);
        if (slot >= 0) {
            rememberedWidths_[slot] = widthOf(sender);
        }
    } else if (type == kShrinking) {
        TopicButton* sender = static_cast<ShrinkingEvent*>(event)->sender;
        const std::int32_t slot = slotOf(sender);
        // The moves below reach other resizing buttons, whose own reports arrive nested in
        // this one; the width is taken as reported before them, so each change moves the
        // neighbours once, and a report that changes nothing moves nothing.
        const std::int32_t width = widthOf(sender);
        const std::int32_t delta = slot >= 0 ? saturated(wide(width) - rememberedWidths_[slot]) : 0;
        if (slot >= 0) {
            rememberedWidths_[slot] = width;
        }
        const std::int32_t senderX = sender->position.x;
        for (std::int32_t i = 0; i < count_ && delta != 0; ++i) {
            TopicButton* b = slots_[i];
            if (b != nullptr && b != sender && b->position.x >= senderX) {
                b->shiftBy(delta);
            }
        }
    } else if (type == kCenterMe) {
        const std::int32_t x = static_cast<CenterMeEvent*>(event)->sender->position.x;
        const std::int32_t d = x < screen::kRecentreBelow || x > screen::kRecentreAbove
                                   ? saturated(screen::kRecentreAt - wide(x))
                                   : 0;
        for (std::int32_t i = 0; i < count_; ++i) {
            if (slots_[i] != nullptr) {
                slots_[i]->slideBy(d);
            }
        }
    }
    destroyEvent(event);
    return 1;
}

} // namespace qx
