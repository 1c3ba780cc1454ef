// choice/topics/, part of the choice floor (choice/QXChoice.h): topic buttons with their
// shrink, grow, slide and return, and the time curves that drive every animation.
#pragma once

#include "choice/controls/QXMouseListener.h"
#include "qx/canvas.h"
#include "qx/events.h"
#include "qx/scene.h"
#include "visual/TextElement.h"
#include "visual/VisibleElement.h"

namespace qx {

class Curve;
class Cursor;
class Porte;

// One topic of the topic bar: its title in a jittered frame, picked up with the cursor and
// dropped on a door. Shrinks out of the bar when a door takes it, slides into view and grows
// back when the door gives it up, and glides home when dropped elsewhere.
class TopicButton final : public VisibleElement, public QXMouseListener {
public:
    TopicButton(IListener* listener, Font* font, const char* label, Cursor* cursor,
                TopicItem* topic, std::int32_t showFrames);
    TopicButton(const TopicButton&) = delete;
    TopicButton& operator=(const TopicButton&) = delete;
    ~TopicButton() override;

    // IVisible
    void draw(Canvas* canvas) override;
    void setPosition(std::int32_t x, std::int32_t y) override;
    // ITouchable and QXMouseListener
    std::int32_t handleEvent(Event* event) override;
    Rect hitArea() override;

    // Defined here: the bar measures every button several times a frame.
    Size measure() {
        const Size textSize = text_->textSize();
        if (collapsed_ != 0) {
            return Size(0, textSize.height);
        }
        if (shrinkCurve_ != nullptr || growCurve_ != nullptr) {
            return resizedSize(textSize);
        }
        return textSize;
    }
    std::int32_t isOnScreen();
    // An animated horizontal move by distance over 400 ms, from where the button stands.
    void slideBy(std::int32_t distance);
    // Moves the button along with a neighbour's change of width; a slide under way keeps
    // the move.
    void shiftBy(std::int32_t distance);
    // Once per frame, from the topic bar: moves a sliding button and ends finished returns.
    void update() {
        if (slideCurve_ != nullptr || textXCurve_ != nullptr || textYCurve_ != nullptr) {
            advanceCurves();
        }
    }

    std::int32_t isSelected() const { return selected_; }
    std::int32_t isCollapsed() const { return collapsed_; }
    std::int32_t isDragging() const { return dragging_; }
    TextElement* text() const { return text_; }
    Porte* holderDoor() const { return holderDoor_; }
    QXMouseListener* mouseFace() { return static_cast<QXMouseListener*>(this); }

private:
    // The size while a shrink or grow runs.
    Size resizedSize(Size textSize);
    void advanceCurves();
    void press();
    void release();
    void startShrink();
    void giveBack();
    void requestCentring();
    // The shrink or grow step of setPosition; returns true when the curve ended.
    bool resizeStep(Curve*& member, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h);
    void setTextStyle(std::int32_t style);
    void send(Event* event);

    // Members a frame reads for every button come first and together, then the text element,
    // so that a bar of many buttons touches few lines of each; the rest follows.
    std::int32_t collapsed_ = 0;
    std::int32_t dragging_ = 0;
    std::int32_t selected_ = 0;
    std::int32_t showFrames_;
    Curve* wobbleCurve_ = nullptr;
    Curve* shrinkCurve_ = nullptr;
    Curve* growCurve_ = nullptr;
    Curve* textXCurve_ = nullptr;
    Curve* textYCurve_ = nullptr;
    Curve* slideCurve_ = nullptr;
    TopicItem* topic_;
    Porte* holderDoor_ = nullptr;
    Point corners_[4];
    TextElement* text_ = nullptr; // in textRoom_ once made
    // The text element lives here, made in its turn during construction: every frame reads
    // it with the button.
    alignas(TextElement) unsigned char textRoom_[sizeof(TextElement)];
    Point jitter_[4];
    Font* font_;
    const char* label_;
    Cursor* cursor_;
    IListener* listener_;
    // How far neighbours resizing have moved the button since its slide began.
    std::int32_t slideShift_ = 0;
    std::int32_t centerRequested_ = 0;
    std::int32_t giveBackPending_ = 0;
    std::int32_t shrinkPending_ = 0;
    // The title left its door while the button was still shrinking: the button opens again
    // once the shrink has ended.
    std::int32_t openPending_ = 0;
};

} // namespace qx
