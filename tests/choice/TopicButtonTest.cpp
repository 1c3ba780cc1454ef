#include "ChoiceFixture.h"
#include "choice/controls/LockAllDoors.h"

namespace {

using qxtest::Heard;

// A button whose title is 80 pixels wide, reporting to the recorder in place of the bar.
class Topic : public qxtest::ChoiceTest {
protected:
    Topic() { button.setPosition(30, 420); }
    void send(qx::Event* event) { button.handleEvent(event); }
    void advanceAndDraw(std::int32_t ms) {
        host.clock().advance(ms);
        button.draw(&canvas);
    }

    qx::TopicButton button{&recorder, &font.font, "abcdefgh", &cursor, &topic, 1};
};

TEST_F(Topic, ChosenTopicShrinksOutOfTheBarInSevenHundredMilliseconds) {
    send(qx::makeTopicChosen(&door));
    advanceAndDraw(350);
    EXPECT_EQ(button.hitArea(), qx::Rect(30, 420, 55, 20));
    advanceAndDraw(351);
    EXPECT_EQ(recorder.take(), (Heard{"startShrink 110", "shrinking 55", "shrinking 0"}));
    EXPECT_EQ(button.isCollapsed(), 1);
    EXPECT_EQ(button.measure(), qx::Size(0, 20));
    EXPECT_EQ(button.isOnScreen(), 0);
    EXPECT_EQ(button.holderDoor(), &door);
    send(new qx::MouseButtonDownEvent(qx::Point(30, 420)));
    EXPECT_EQ(cursor.carrier(), nullptr) << "a topic in a door is not picked from the bar";
}

TEST_F(Topic, ReopenedTopicSlidesIntoViewGrowsThenTakesItsDeferredGiveBack) {
    send(qx::makeTopicChosen(&door));
    advanceAndDraw(701);
    recorder.take();
    button.setPosition(600, 420);
    send(qx::makeOpenFrame());
    send(new qx::ToggleSelectEvent(0));
    send(new qx::MouseButtonDownEvent(qx::Point(0, 0)));
    EXPECT_EQ(recorder.take(), Heard{"centerMe 0"});
    EXPECT_EQ(cursor.carrier(), button.mouseFace());
    button.slideBy(-380);
    host.clock().advance(400);
    button.update();
    EXPECT_EQ(button.position.x, 220);
    EXPECT_EQ(recorder.take(), Heard{}) << "the grow waits for the slide to end";
    host.clock().advance(1);
    button.update();
    EXPECT_EQ(recorder.take(), Heard{"startShrink 0"});

    // Released away from any door: the door hands the topic back during the grow.
    send(new qx::MouseButtonUpEvent(qx::Point(0, 0)));
    send(new qx::ToggleSelectEvent(1));
    send(qx::makeGiveBack());
    advanceAndDraw(350);
    EXPECT_EQ(button.isSelected(), 1);
    qx::lockAllDoors(1);
    advanceAndDraw(351);
    EXPECT_EQ(recorder.take(), (Heard{"shrinking 55", "shrinking 110"}));
    EXPECT_EQ(button.isSelected(), 0);
    EXPECT_EQ(button.holderDoor(), nullptr);
    EXPECT_EQ(button.measure(), qx::Size(80, 20));
    advanceAndDraw(451);
    button.update();
    EXPECT_EQ(button.text()->position, qx::Point(220, 420));
    EXPECT_EQ(door.isLocked(), 0);
}

// Dropped into a door again before its button was back in the bar: the shrink goes on from
// where it was, and a button still collapsed stays so instead of growing for a title that is
// in a door. Lifted during a grow, it grows to the end and does not shrink after.
TEST_F(Topic, DroppedAgainBeforeTheButtonIsBackItStaysOut) {
    const auto lift = [this] {
        send(qx::makeOpenFrame());
        send(new qx::ToggleSelectEvent(0));
        send(new qx::MouseButtonDownEvent(qx::Point(0, 0)));
    };
    send(qx::makeTopicChosen(&door));
    advanceAndDraw(350);
    lift();
    send(qx::makeTopicChosen(&door));
    advanceAndDraw(351);
    EXPECT_EQ(recorder.take(), (Heard{"startShrink 110", "shrinking 55", "shrinking 0"}));
    lift();
    send(qx::makeTopicChosen(&door));
    button.slideBy(0);
    host.clock().advance(401);
    button.update();
    EXPECT_EQ(recorder.take(), Heard{"centerMe 0"}) << "no grow after the slide";
    EXPECT_EQ(button.isCollapsed() + button.isSelected(), 2);

    lift();
    button.slideBy(0);
    host.clock().advance(401);
    button.update();
    send(qx::makeTopicChosen(&door));
    lift();
    advanceAndDraw(701);
    EXPECT_EQ(recorder.take(), (Heard{"centerMe 0", "startShrink 0", "shrinking 110"}));
    EXPECT_EQ(button.measure(), qx::Size(80, 20));
}

TEST_F(Topic, DroppedOutsideADoorTheTextGlidesHomeThenDoorsUnlock) {
    qx::lockAllDoors(1);
    button.draw(&canvas);
    cursor.setPosition(35, 425);
    send(new qx::MouseButtonDownEvent(qx::Point(35, 425)));
    EXPECT_EQ(button.isDragging(), 1);
    cursor.setPosition(335, 125);
    cursor.draw(&canvas);
    EXPECT_EQ(button.text()->position, qx::Point(330, 120));
    send(new qx::MouseButtonUpEvent(qx::Point(335, 125)));
    EXPECT_EQ(cursor.carrier(), nullptr);
    advanceAndDraw(300);
    EXPECT_EQ(button.text()->position, qx::Point(180, 270));
    advanceAndDraw(300);
    button.update();
    EXPECT_EQ(button.text()->position, qx::Point(30, 420));
    EXPECT_EQ(door.isLocked(), 1) << "the return ends only when found past its end";
    advanceAndDraw(1);
    button.update();
    EXPECT_EQ(door.isLocked(), 0);
}

} // namespace
