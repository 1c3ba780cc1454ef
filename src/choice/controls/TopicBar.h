#pragma once

#include "choice/ChoiceScreen.h"
#include "choice/controls/QXButtonNotify.h"
#include "qx/events.h"
#include "qx/registry.h"
#include "qx/scene.h"
#include "qx/visual.h"

namespace qx {

class Cursor;
class MouseRouter;
class TopicButton;

// The row of topic buttons along the bottom of the screen: centred when it fits, otherwise
// wrapped around like a carousel that the arrow buttons scroll.
class TopicBar final : public IVisible, public QXButtonNotify, public IListener {
public:
    static constexpr std::int32_t kMaxTopics = 100;

    TopicBar(Font* font, IQXProducer* producer, MouseRouter* router, Cursor* cursor,
             std::int32_t showFrames);
    TopicBar(const TopicBar&) = delete;
    TopicBar& operator=(const TopicBar&) = delete;
    ~TopicBar();

    // IVisible
    void draw(Canvas* canvas) override;
    Rect* getBounds(Rect* bounds) override {
        *bounds = Rect(Point(left_, screen::kBarRow), screen::kBarSize);
        return bounds;
    }
    std::int32_t isHidden() override { return 0; }
    void setPosition(std::int32_t, std::int32_t) override {}
    // QXButtonNotify: the arrows scroll the row.
    void buttonClicked(std::int32_t id) override;
    // IListener: the buttons' shrink and centring reports.
    std::int32_t handleEvent(Event* event) override;

    // Once per frame: advances the buttons and keeps the row centred or wrapped.
    void arrange();

    // The buttons with the smallest and the largest x strictly between 10 and 630 (the lower
    // index on equal x), or -1.
    struct VisibleEnds {
        std::int32_t left = -1;
        std::int32_t right = -1;
    };
    VisibleEnds visibleEnds() const;
    std::int32_t leftmostVisible() const { return visibleEnds().left; }
    std::int32_t rightmostVisible() const { return visibleEnds().right; }
    std::int32_t count() const { return count_; }
    TopicButton* button(std::int32_t i) const { return i >= 0 && i < count_ ? slots_[i] : nullptr; }

    InterfaceTable table;

private:
    std::int32_t widthOf(TopicButton* button);
    void moveTo(TopicButton* button, std::int32_t x);
    void wrapAround();
    std::int32_t slotOf(const TopicButton* button) const;

    TopicButton* slots_[kMaxTopics] = {};
    std::int32_t count_ = 0;
    std::int32_t left_ = screen::kBarLeft;
    // Each button's width at its last size report, so that buttons resizing at the same
    // time move their neighbours by their own changes only.
    std::int32_t rememberedWidths_[kMaxTopics] = {};
};

} // namespace qx
