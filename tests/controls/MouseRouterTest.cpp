#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "choice/controls/MouseEvents.h"
#include "choice/controls/MouseRouter.h"
#include "runtime/Host.h"

namespace {

using Journal = std::vector<std::string>;

// Notes "<who> <operation> [x,y]" for every event it hears, and takes the event.
struct Participant final : qx::QXMouseListener {
    Participant(std::string name, qx::Rect rect, Journal& journal)
        : who(std::move(name)), area(rect), heard(journal) {}
    std::int32_t handleEvent(qx::Event* event) override {
        std::string line = who + " " + (event->name + sizeof "QXMouse::" - 1);
        if (event->type >= qx::kMouseMove) {
            const qx::Point at = static_cast<qx::PositionEvent*>(event)->position;
            line += " " + std::to_string(at.x) + "," + std::to_string(at.y);
        }
        heard.push_back(line);
        qx::destroyEvent(event);
        return 1;
    }
    qx::Rect hitArea() override {
        ++asked;
        return area;
    }

    std::string who;
    qx::Rect area;
    Journal& heard;
    int asked = 0;
};

class MouseRouting : public ::testing::Test {
protected:
    void SetUp() override {
        router.addParticipant(&a);
        router.addParticipant(&b);
    }
    struct Step {
        std::uint32_t type;
        std::int32_t x, y;
    };
    // Each event reaches one receiver and is destroyed there, so none outlives its routing.
    void play(std::initializer_list<Step> steps) {
        for (const Step& step : steps) {
            EXPECT_EQ(router.handleEvent(host.makePointerEvent(step.type, step.x, step.y)), 1);
            EXPECT_EQ(qx::liveModuleEvents(), 0);
            EXPECT_EQ(host.liveEvents(), 0);
        }
    }
    Journal heard() { return std::exchange(journal, {}); }

    qxhost::Host host;
    Journal journal;
    Participant a{"A", {0, 0, 100, 100}, journal};
    Participant b{"B", {200, 0, 100, 100}, journal};
    qx::MouseRouter router;
};

constexpr std::uint32_t kMove = qx::kHostPointerMoved;
constexpr std::uint32_t kPress = qx::kHostPointerPressed;
constexpr std::uint32_t kRelease = qx::kHostPointerReleased;

TEST_F(MouseRouting, CrossingAnnouncesEnteringBeforeLeaving) {
    play({{kMove, 10, 10}, {kMove, 20, 30}, {kMove, 210, 5}, {kMove, 150, 5}, {kMove, 299, 99}});
    EXPECT_EQ(heard(), (Journal{"A entered", "A move 10,10", "A move 20,30", "B entered",
                                "B move 210,5", "A left", "B left", "B entered", "B move 299,99"}));
}

TEST_F(MouseRouting, ReleaseReachesHoveredThenPressedOnce) {
    play({{kPress, 10, 10}, {kRelease, 250, 20}, {kRelease, 150, 20}});
    EXPECT_EQ(heard(), (Journal{"A buttonDown 10,10", "B buttonUp 250,20", "A buttonUp 250,20"}));
    play({{kPress, 10, 10}, {kRelease, 50, 50}, {kPress, 150, 10}, {kRelease, 50, 50}});
    EXPECT_EQ(heard(), (Journal{"A buttonDown 10,10", "A buttonUp 50,50", "A buttonUp 50,50"}));
    play({{kPress, 10, 10}, {kRelease, 150, 50}});
    EXPECT_EQ(heard(), (Journal{"A buttonDown 10,10", "A buttonUp 150,50"}));
}

TEST_F(MouseRouting, ButtonsNeitherEnterNorLeaveNorCaptureMoves) {
    play({{kMove, 1, 1}, {kPress, 1, 1}, {kMove, 220, 1}, {kRelease, 220, 1}, {kMove, 230, 1}});
    EXPECT_EQ(heard(),
              (Journal{"A entered", "A move 1,1", "A buttonDown 1,1", "B entered", "B move 220,1",
                       "A left", "B buttonUp 220,1", "A buttonUp 220,1", "B move 230,1"}));
}

TEST_F(MouseRouting, LaterRegistrationWinsAndEmptyAreasAreNeverHit) {
    Participant over("C", {50, 50, 100, 100}, journal);
    Participant flat("F", {0, 0, 0, 100}, journal);
    Participant inverted("I", {100, 100, -50, -50}, journal);
    for (Participant* p : {&over, &flat, &inverted}) {
        router.addParticipant(p);
    }
    play({{kMove, 0, 0}, {kMove, 60, 60}, {kPress, 99, 99}});
    over.area = qx::Rect(); // hiding takes effect at the next event: nothing is cached
    play({{kRelease, 99, 99}});
    EXPECT_EQ(heard(), (Journal{"A entered", "A move 0,0", "C entered", "C move 60,60", "A left",
                                "C buttonDown 99,99", "A buttonUp 99,99", "C buttonUp 99,99"}));
    for (const Participant* p : {&a, &b, &over, &flat, &inverted}) {
        EXPECT_EQ(p->asked, 4) << p->who;
    }
}

TEST_F(MouseRouting, OtherEventsAreOnlyDestroyed) {
    play({{0x40004u, 10, 10}, {0x40000u, 10, 10}, {0x50001u, 10, 10}, {0x20001u, 10, 10}});
    EXPECT_EQ(router.handleEvent(new qx::MouseMoveEvent(qx::Point(10, 10))), 1);
    EXPECT_EQ(qx::liveModuleEvents(), 0);
    EXPECT_EQ(heard(), Journal{});
    EXPECT_EQ(a.asked, 0);
}

} // namespace
