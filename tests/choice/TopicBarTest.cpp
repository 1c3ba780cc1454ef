#include <cstdlib>
#include <memory>
#include <vector>

#include "ChoiceFixture.h"
#include "choice/ChoiceScreen.h"
#include "choice/controls/MouseRouter.h"
#include "choice/controls/TopicBar.h"

namespace {

using Xs = std::vector<std::int32_t>;
namespace screen = qx::screen;

// Buttons 70 pixels wide unless said otherwise, so each takes 100 with its gap.
class Bar : public qxtest::VisualTest {
protected:
    Bar() { host.clock().set(1000); }
    qx::TopicBar& make(int buttons = 0) {
        for (int i = 0; i < buttons; ++i)
            producer.add("abcdefg");
        bar = std::make_unique<qx::TopicBar>(&producer.font.font, &producer, &router, nullptr, 0);
        return *bar;
    }
    Xs xs() {
        Xs result;
        for (std::int32_t i = 0; i < bar->count(); ++i)
            result.push_back(bar->button(i) != nullptr ? bar->button(i)->position.x : -1);
        return result;
    }
    // Lets slides of 400 ms end without the centring of arrange.
    void finishSlides() {
        host.clock().advance(401);
        for (std::int32_t i = 0; i < bar->count(); ++i)
            bar->button(i)->update();
    }

    qxtest::Producer producer;
    qx::MouseRouter router;
    std::unique_ptr<qx::TopicBar> bar;
};

TEST_F(Bar, SkippedCodesLeaveEmptySlotsThatStillCount) {
    for (const char* code : {"ab", "xx", "cd", "ef", "xxy"})
        producer.add("abcd", code);
    make();
    EXPECT_EQ(xs(), (Xs{30, -1, -1, 100, 170}));
}

TEST_F(Bar, TakesAtMostAHundredTopics) {
    make();
    EXPECT_EQ(bar->count(), 0);
    EXPECT_TRUE(host.log().lines().empty());
    make(150);
    EXPECT_EQ(bar->count(), 100);
    EXPECT_EQ(producer.highestAsked, 99);
}

TEST_F(Bar, ARowThatFitsIsCentredAndAWideOneWrapsAroundWithoutOverlap) {
    make(3);
    EXPECT_EQ(xs(), (Xs{30, 130, 230}));
    bar->arrange();
    EXPECT_EQ(xs(), (Xs{185, 285, 385}));
    make(9);
    bar->arrange();
    const Xs x = xs();
    EXPECT_EQ(x[6], x[5] + 100) << "after the rightmost visible one";
    EXPECT_EQ(x[11], -70) << "the last one wraps in before the leftmost";
    for (std::size_t i = 1; i < x.size(); ++i) {
        EXPECT_GE(std::abs(x[i] - x[i - 1]), 100) << "slot " << i;
    }
}

// A title brought back outside the middle of the bar slides the row until it stands at the
// recentring column; one on either edge of the middle moves nothing.
TEST_F(Bar, CentringSlidesEveryButtonByOneDistance) {
    make(2);
    constexpr std::int32_t kBelow = screen::kRecentreBelow, kAbove = screen::kRecentreAbove;
    for (std::int32_t from : {600, kBelow - 1, kBelow, kAbove, kAbove + 1}) {
        const std::int32_t distance =
            from < kBelow || from > kAbove ? screen::kRecentreAt - from : 0;
        bar->button(0)->setPosition(from, screen::kBarRow);
        bar->button(1)->setPosition(700, screen::kBarRow);
        bar->handleEvent(qx::makeCenterMe(bar->button(0)));
        finishSlides();
        EXPECT_EQ(xs(), (Xs{from + distance, 700 + distance})) << "from " << from;
    }
}

// Measures every title at one width, however short.
struct WideRenderer final : qx::ITextRenderer {
    void unused1() override {}
    std::int32_t measure(const char*) override { return 1'500'000'000; }
    void draw(qx::Canvas*, std::int32_t, std::int32_t, const char*) override {}
};

TEST_F(Bar, TitlesWiderThanTheRangeLineUpAtItsEndAndStillMove) {
    WideRenderer wide;
    producer.font.font.renderer = &wide;
    make(3);
    EXPECT_EQ(xs(), (Xs{30, 1'500'000'060, INT32_MAX}));
    bar->arrange();
    EXPECT_EQ(xs(), (Xs{30, 1'500'000'060, -1'500'000'000})) << "the last wraps in on the left";
    // Every way the bar moves its buttons, far out in the range.
    bar->buttonClicked(screen::kRightArrowId);
    finishSlides();
    bar->buttonClicked(screen::kLeftArrowId);
    bar->handleEvent(qx::makeCenterMe(bar->button(2)));
    finishSlides();
    bar->button(1)->handleEvent(qx::makeTopicChosen(nullptr));
    host.clock().advance(350);
    bar->draw(&canvas);
    bar->arrange();
    EXPECT_EQ(bar->button(1)->measure().width, 750'000'015) << "half of the width and its gap";
}

TEST_F(Bar, AShrinkingButtonPullsOnlyItsRightNeighboursAndTwoSurviveALongFrame) {
    make(3);
    bar->button(1)->handleEvent(qx::makeTopicChosen(nullptr));
    host.clock().advance(350);
    bar->button(1)->setPosition(130, screen::kBarRow);
    EXPECT_EQ(xs(), (Xs{30, 130, 180}));
    bar->button(0)->handleEvent(qx::makeTopicChosen(nullptr));
    host.clock().advance(701);
    bar->draw(&canvas);
    EXPECT_EQ(bar->button(0)->isCollapsed() + bar->button(1)->isCollapsed(), 2);
    EXPECT_EQ(qx::liveModuleEvents(), 0);
}

// Each button closes exactly its own gap, whatever the other does meanwhile (the first one's
// reports move the second while it reports too), and a slide of the row keeps those moves.
TEST_F(Bar, ButtonsShrinkingTogetherCloseOnlyTheirOwnGapsAlsoWhileTheRowSlides) {
    make(4);
    bar->button(0)->handleEvent(qx::makeTopicChosen(nullptr));
    host.clock().advance(150);
    bar->draw(&canvas);
    bar->button(2)->handleEvent(qx::makeTopicChosen(nullptr));
    bar->buttonClicked(screen::kRightArrowId);
    for (int frame = 0; frame < 60; ++frame) {
        host.clock().advance(16);
        for (std::int32_t i = 0; i < bar->count(); ++i)
            bar->button(i)->update();
        bar->draw(&canvas);
    }
    // The arrow slides the row by the first button's width when clicked (78) and a gap.
    EXPECT_EQ(xs(), (Xs{-78, -78, 22, 22}));
}

} // namespace
