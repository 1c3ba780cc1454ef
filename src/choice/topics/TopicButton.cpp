#include "choice/topics/TopicButton.h"

#include <cstdlib>
#include <new>

#include "choice/ChoiceEvents.h"
#include "choice/ChoiceScreen.h"
#include "choice/Cursor.h"
#include "choice/controls/LockAllDoors.h"
#include "choice/controls/MouseEvents.h"
#include "choice/controls/Porte.h"
#include "choice/topics/Curve.h"
#include "core/EventObject.h"
#include "core/Geometry.h"
#include "core/Memory.h"
#include "visual/TextElement.h"

namespace qx {

namespace {
using screen::kGiveBackMs;
using screen::kReturnMs;
using screen::kShrinkMs;
using screen::kSlideMs;
// The gap the bar keeps after each button; a shrinking button takes it along.
constexpr std::int32_t kGap = screen::kBarGap;

std::int32_t trunc(double v) { return truncated(v); }

void replace(Curve*& slot, Curve* curve) {
    delete slot;
    slot = curve;
}
} // namespace

TopicButton::TopicButton(IListener* listener, Font* font, const char* label, Cursor* cursor,
                         TopicItem* topic, std::int32_t showFrames)
    : showFrames_(showFrames), topic_(topic), font_(font), label_(label), cursor_(cursor),
      listener_(listener) {
    table.addInterface(kQXMouseListenerName, static_cast<QXMouseListener*>(this));
    text_ = new (textRoom_) TextElement(0, 0, font_, label_);
    for (Point& j : jitter_) {
        // The first draw is the y offset, the second the x offset.
        j.y = std::rand() % 10 - 5;
        j.x = std::rand() % 10 - 5;
    }
}

TopicButton::~TopicButton() {
    delete slideCurve_;
    text_->~TextElement();
    delete wobbleCurve_;
    delete textXCurve_;
    delete textYCurve_;
    delete shrinkCurve_;
    delete growCurve_;
}

Size TopicButton::resizedSize(Size textSize) {
    Curve* curve = shrinkCurve_ != nullptr ? shrinkCurve_ : growCurve_;
    return Size(trunc(curve->value() * (wide(textSize.width) + kGap)), textSize.height);
}

Rect TopicButton::hitArea() {
    const Size size = measure();
    return Rect(position.x, position.y, size.width, size.height);
}

std::int32_t TopicButton::isOnScreen() {
    const Rect area = hitArea();
    if (position.x > screen::kWidth || position.y > screen::kHeight || collapsed_ != 0) {
        return 0;
    }
    if (position.x >= 0 && position.y >= 0) {
        return 1;
    }
    return area.right() >= 0 && area.bottom() >= 0 ? 1 : 0;
}

void TopicButton::setPosition(std::int32_t x, std::int32_t y) {
    position = Point(x, y);
    const Size size = measure();
    const std::int32_t w = size.width;
    const std::int32_t h = size.height;
    corners_[0] = Point(saturated(wide(x) - 5 + jitter_[0].x), saturated(wide(y) + jitter_[0].y));
    corners_[1] =
        Point(saturated(wide(x) + w + 5 + jitter_[1].x), saturated(wide(y) + jitter_[1].y));
    corners_[2] =
        Point(saturated(wide(x) + w + 5 + jitter_[2].x), saturated(wide(y) + h - 2 + jitter_[2].y));
    corners_[3] =
        Point(saturated(wide(x) - 5 + jitter_[3].x), saturated(wide(y) + h - 2 + jitter_[3].y));
    if (wobbleCurve_ != nullptr) {
        // Each coordinate reads the curve afresh, as the frame's tremor is driven by the clock.
        auto shake = [this](Point& corner, std::int32_t towardsX, std::int32_t towardsY) {
            const std::int32_t dx = towardsX * trunc(wobbleCurve_->value());
            const std::int32_t dy = towardsY * trunc(wobbleCurve_->value());
            corner.offset(dx, dy);
        };
        shake(corners_[0], -1, -1);
        shake(corners_[1], 1, -1);
        shake(corners_[2], -1, 1);
        shake(corners_[3], 1, 1);
    }
    if (shrinkCurve_ != nullptr && resizeStep(shrinkCurve_, x, y, w, h)) {
        replace(shrinkCurve_, nullptr);
        collapsed_ = 1;
        setPosition(x, y);
        if (openPending_ != 0 || giveBackPending_ != 0) {
            openPending_ = 0;
            requestCentring();
        }
    }
    if (growCurve_ != nullptr && resizeStep(growCurve_, x, y, w, h)) {
        replace(growCurve_, nullptr);
        setPosition(x, y);
        if (giveBackPending_ != 0) {
            giveBack();
        }
        if (shrinkPending_ != 0) {
            startShrink();
            shrinkPending_ = 0;
        }
    }
}

bool TopicButton::resizeStep(Curve*& member, std::int32_t x, std::int32_t y, std::int32_t w,
                             std::int32_t h) {
    Curve* curve = member;
    // The right-hand corners are pulled towards the left-hand ones on top of the narrower width.
    double s = curve->value();
    corners_[2] =
        Point(saturated(corners_[3].x +
                        wide(trunc(s * (wide(x) + w + 5 + jitter_[2].x - corners_[3].x)))),
              saturated(wide(y) + h - 2 + jitter_[2].y));
    s = curve->value();
    corners_[1] =
        Point(saturated(corners_[0].x +
                        wide(trunc(s * (wide(x) + w + 5 + jitter_[1].x - corners_[0].x)))),
              saturated(wide(y) + jitter_[1].y));
    send(makeShrinking(this));
    // The bar's moves can re-enter this button and end the same curve first; then the inner
    // step has done the ending and the curve is gone.
    return member == curve && curve->isFinished() != 0;
}

void TopicButton::draw(Canvas* canvas) {
    if (wobbleCurve_ != nullptr || shrinkCurve_ != nullptr || growCurve_ != nullptr) {
        setPosition(position.x, position.y);
    }
    const Rect remembered = canvas->getClip();
    if (collapsed_ == 0) {
        // The corners in member order are the frame; the canvas hands the surface a copy.
        PointArray frame;
        frame.count = 4;
        frame.points = corners_;
        // One of two constant colours, copied whole rather than built member by member.
        static constexpr Colour kGrey(96, 96, 96);
        static constexpr Colour kBlack(0, 0, 0);
        canvas->setColour(topic_ != nullptr && topic_->flags != 0 ? kGrey : kBlack);
        if (showFrames_ != 0) {
            canvas->drawPolygon(frame);
        }
    }
    if (dragging_ == 0 && selected_ == 0) {
        text_->setPosition(position.x, position.y);
        if (textXCurve_ != nullptr) {
            text_->setPosition(trunc(textXCurve_->value()), text_->position.y);
        }
        if (textYCurve_ != nullptr) {
            text_->setPosition(text_->position.x, trunc(textYCurve_->value()));
        }
        if (textXCurve_ == nullptr && textYCurve_ == nullptr) {
            // Titles at rest are cut at the bar's ends, under the masks.
            canvas->setClip(screen::barClip(position.y));
        }
    }
    if (selected_ == 0 || (holderDoor_ != nullptr && holderDoor_->isHidden() == 0)) {
        text_->draw(canvas);
    }
    canvas->setClip(remembered);
}

std::int32_t TopicButton::handleEvent(Event* event) {
    const std::uint32_t type = event != nullptr ? event->type : 0;
    switch (type) {
    case kTopicChosen: {
        Porte* door = static_cast<TopicChosenEvent*>(event)->sender;
        if (selected_ != 0) {
            selected_ = 1;
            break;
        }
        // Dropped again before the button got back into the bar: it keeps shrinking, or
        // stays collapsed, rather than opening for a title that is in a door.
        openPending_ = 0;
        giveBackPending_ = 0;
        if (shrinkCurve_ != nullptr) {
            shrinkPending_ = 0;
        } else if (collapsed_ != 0 && centerRequested_ != 0) {
            centerRequested_ = 0;
            shrinkPending_ = 0;
        } else if (growCurve_ != nullptr) {
            shrinkPending_ = 1;
        } else {
            shrinkPending_ = 0;
            startShrink();
        }
        holderDoor_ = door;
        selected_ = 1;
        break;
    }
    case kGiveBack:
        if (selected_ != 0) {
            setTextStyle(0);
            // The title waits for every running change of the button's size to end.
            if (shrinkCurve_ != nullptr || growCurve_ != nullptr || centerRequested_ != 0 ||
                openPending_ != 0) {
                giveBackPending_ = 1;
            } else {
                giveBack();
            }
        }
        break;
    case kToggleSelect: selected_ = static_cast<ToggleSelectEvent*>(event)->value; break;
    case kOpenFrame:
        if (selected_ != 0) {
            if (shrinkCurve_ != nullptr) {
                openPending_ = 1;
            } else if (collapsed_ != 0) {
                requestCentring();
            } else {
                // Lifted again while growing: the grow goes on and no shrink follows it.
                shrinkPending_ = 0;
            }
            setTextStyle(0);
        }
        break;
    case kMouseEntered:
        if (cursor_ != nullptr && cursor_->carrier() == nullptr) {
            setTextStyle(1);
        }
        break;
    case kMouseLeft:
        if (cursor_ != nullptr && cursor_->carrier() == nullptr) {
            setTextStyle(0);
        }
        break;
    case kMouseButtonDown:
        if (selected_ == 0) {
            press();
        }
        break;
    case kMouseButtonUp:
        if (cursor_ != nullptr && cursor_->carrier() == mouseFace()) {
            release();
        }
        break;
    default: break;
    }
    destroyEvent(event);
    return 1;
}

void TopicButton::press() {
    if (cursor_ != nullptr) {
        cursor_->carry(topic_, text_, mouseFace());
    }
    setTextStyle(0);
    dragging_ = 1;
    replace(wobbleCurve_, new (fallible) WobbleCurve(10.0, 0.0, 1000, 80, 0.9, 3.1415926535));
}

void TopicButton::release() {
    cursor_->drop();
    dragging_ = 0;
    if (selected_ != 0) {
        return;
    }
    setTextStyle(0);
    replace(wobbleCurve_, nullptr);
    replace(textXCurve_, new (fallible) SmoothCurve(text_->position.x, position.x, kReturnMs));
    replace(textYCurve_, new (fallible) SmoothCurve(text_->position.y, position.y, kReturnMs));
}

void TopicButton::startShrink() {
    replace(shrinkCurve_, new (fallible) LinearCurve(1.0, 0.0, kShrinkMs));
    send(makeStartShrink(this));
}

void TopicButton::requestCentring() {
    send(makeCenterMe(this));
    centerRequested_ = 1;
}

void TopicButton::giveBack() {
    replace(textXCurve_, nullptr);
    replace(textYCurve_, nullptr);
    textXCurve_ = new (fallible) SmoothCurve(text_->position.x, position.x, kGiveBackMs);
    textYCurve_ = new (fallible) SmoothCurve(text_->position.y, position.y, kGiveBackMs);
    giveBackPending_ = 0;
    collapsed_ = 0;
    selected_ = 0;
    holderDoor_ = nullptr;
}

void TopicButton::slideBy(std::int32_t distance) {
    // The end is taken in 64 bits: a double holds it exactly.
    const auto end = static_cast<double>(wide(position.x) + distance);
    replace(slideCurve_, new (fallible) SmoothCurve(position.x, end, kSlideMs));
    slideShift_ = 0;
}

void TopicButton::shiftBy(std::int32_t distance) {
    slideShift_ = saturated(wide(slideShift_) + (slideCurve_ != nullptr ? distance : 0));
    setPosition(saturated(wide(position.x) + distance), position.y);
}

void TopicButton::advanceCurves() {
    if (slideCurve_ != nullptr) {
        setPosition(saturated(wide(trunc(slideCurve_->value())) + slideShift_), position.y);
        if (slideCurve_->isFinished() != 0) {
            replace(slideCurve_, nullptr);
            if (centerRequested_ != 0) {
                // Still collapsed here, so the bar remembers width 0 and opens the gap.
                send(makeStartShrink(this));
                replace(growCurve_, new (fallible) LinearCurve(0.0, 1.0, kShrinkMs));
                centerRequested_ = 0;
                collapsed_ = 0;
            }
        }
    }
    if (textXCurve_ != nullptr && textXCurve_->isFinished() != 0) {
        replace(textXCurve_, nullptr);
    }
    if (textYCurve_ != nullptr && textYCurve_->isFinished() != 0) {
        replace(textYCurve_, nullptr);
        lockAllDoors(0);
    }
}

void TopicButton::setTextStyle(std::int32_t style) { text_->setStyle(style); }

void TopicButton::send(Event* event) {
    if (event == nullptr) {
        return;
    }
    if (listener_ != nullptr) {
        listener_->handleEvent(event);
    } else {
        destroyEvent(event);
    }
}

} // namespace qx
