#include <memory>
#include <utility>

#include "ChoiceFixture.h"
#include "choice/controls/LockAllDoors.h"
#include "visual/AlphaImage.h"

namespace {

using qxtest::Heard;
using Opacities = std::pair<double, double>;

// A door at (100, 100) with a 40 x 40 picture and a 20 x 30 mark; the topic's text lands
// centred on (120, 160), at (70, 150). The recorder holds the door's topic.
class Door : public qxtest::ChoiceTest {
protected:
    Door() {
        picture("qmark.png", 20, 30, 8, qxtest::kAlphaFormat);
        picture("pt1.png", 40, 40, 16, qxtest::kScreenFormat);
        mark = std::make_unique<qx::AlphaImage>(archive.root()->find("qmark.png"));
        recorder.cursor = &cursor;
        recorder.topic = &topic;
        recorder.text = &text;
    }
    void setUp(qx::Porte& porte, const char* pictureName = "pt1.png", std::int32_t textX = 120) {
        porte.setUp(archive.root(), pictureName, mark.get(), 100, 100, textX, 160, &cursor);
    }
    void send(qx::Event* event, qx::Porte* to = nullptr) { (to ? to : &door)->handleEvent(event); }
    void press(std::int32_t x, std::int32_t y) { send(new qx::MouseButtonDownEvent({x, y})); }
    void release(std::int32_t x, std::int32_t y) { send(new qx::MouseButtonUpEvent({x, y})); }
    void dropIn(qx::Porte* to = nullptr) {
        cursor.carry(&topic, &text, &recorder);
        send(new qx::MouseButtonUpEvent({110, 110}), to);
        recorder.take();
    }
    Opacities after(qx::Event* event) {
        send(event);
        return {door.markOpacity(), door.pictureOpacity()};
    }

    std::unique_ptr<qx::AlphaImage> mark;
};

TEST_F(Door, OpacitiesFollowThePointerAndTheTopic) {
    setUp(door);
    EXPECT_EQ(after(new qx::MouseEnteredEvent), Opacities(0.6, 1.0));
    EXPECT_EQ(after(new qx::MouseLeftEvent), Opacities(1.0, 1.0));
    cursor.carry(&topic, &text, &recorder);
    EXPECT_EQ(after(new qx::MouseEnteredEvent), Opacities(0.0, 0.0));
    EXPECT_EQ(after(new qx::MouseButtonUpEvent({110, 110})), Opacities(0.0, 1.0));
    EXPECT_EQ(text.style, 1);
    EXPECT_EQ(after(new qx::MouseLeftEvent), Opacities(0.0, 0.0));
    EXPECT_EQ(text.style, 0);
    EXPECT_EQ(after(new qx::MouseEnteredEvent), Opacities(0.0, 1.0));
    EXPECT_EQ(text.style, 1);
    EXPECT_EQ(after(new qx::MouseButtonDownEvent({75, 155})), Opacities(1.0, 1.0));
}

TEST_F(Door, HeldTextIsCentredButKeptOnScreen) {
    for (auto [centre, x] : {std::pair{120, 70}, std::pair{10, 0}, std::pair{630, 540}}) {
        qx::Porte porte;
        setUp(porte, "pt1.png", centre);
        dropIn(&porte);
        porte.draw(&canvas);
        EXPECT_EQ(text.position, qx::Point(x, 150)) << "centre " << centre;
        EXPECT_EQ(porte.hitArea(), qx::Rect(x, 150, 100, 20));
    }
}

TEST_F(Door, ReleaseOnTheOpenedDoorPutsTheTopicBackAndAwayGivesItBackToTheBar) {
    setUp(door);
    dropIn();
    press(75, 155);
    EXPECT_EQ(recorder.take(), (Heard{"openFrame", "toggleSelect 0", "buttonDown 0,0"}));
    EXPECT_EQ(door.heldTopic(), nullptr);
    EXPECT_EQ(door.isLocked(), 1);
    release(110, 110);
    EXPECT_EQ(recorder.take(), Heard{"topicChosen"});
    EXPECT_EQ(door.heldTopic(), &topic);
    EXPECT_EQ(door.isLocked() + door.isArmed(), 0);

    press(75, 155);
    recorder.take();
    release(600, 10);
    EXPECT_EQ(recorder.take(), (Heard{"buttonUp 0,0", "toggleSelect 1", "giveBack"}));
    EXPECT_EQ(door.heldTopic(), nullptr);
    EXPECT_EQ(door.isArmed(), 0);
    EXPECT_EQ(door.isLocked(), 1) << "the returning button unlocks the doors";
}

// A round button under the release hides the door before the door hears the release.
TEST_F(Door, HiddenWhileItsTitleIsLiftedOutTheDoorStillGivesItBack) {
    setUp(door);
    dropIn();
    press(75, 155);
    recorder.take();
    door.hidden = 1;
    release(600, 10);
    EXPECT_EQ(recorder.take(), (Heard{"buttonUp 0,0", "toggleSelect 1", "giveBack"}));
}

TEST_F(Door, LockedOrHiddenFilledDoorKeepsItsTopicAndWithoutAPictureTheMarkIsTheHitArea) {
    setUp(door);
    dropIn();
    qx::lockAllDoors(1);
    press(75, 155);
    qx::lockAllDoors(0);
    door.hidden = 1;
    EXPECT_EQ(door.hitArea(), qx::Rect());
    press(75, 155);
    EXPECT_EQ(recorder.take(), Heard{});
    EXPECT_EQ(door.heldTopic(), &topic);
    EXPECT_EQ(after(new qx::MouseLeftEvent), Opacities(0.0, 1.0))
        << "hidden, it ignores the pointer";
    qx::Porte bare;
    setUp(bare, "pt9.png");
    EXPECT_EQ(bare.markPosition(), qx::Point(110, 115));
    EXPECT_EQ(bare.hitArea(), qx::Rect(110, 115, 20, 30));
}

TEST_F(Door, PlacesAtTheEndsOfTheRangeStayThere) {
    constexpr std::int32_t kMax = INT32_MAX, kMin = INT32_MIN;
    qx::Porte far;
    far.setUp(archive.root(), "pt1.png", mark.get(), kMax, kMin, kMin, kMax, &cursor);
    EXPECT_EQ(far.markPosition(), qx::Point(kMax, kMin + 5));
    EXPECT_EQ(far.hitArea(), qx::Rect(kMax, kMin, 40, 40));
    far.draw(&canvas);
    dropIn(&far);
    far.draw(&canvas);
    EXPECT_EQ(text.position, qx::Point(0, kMax - 10)) << "kept on screen across, not down";
    qx::Porte bare;
    bare.setUp(archive.root(), "pt9.png", mark.get(), kMin, kMax, kMax, kMin, &cursor);
    EXPECT_EQ(bare.hitArea(), qx::Rect(kMin + 10, kMax, 20, 30));
    dropIn(&bare);
    bare.draw(&canvas);
    EXPECT_EQ(text.position, qx::Point(540, kMin));
}

} // namespace
