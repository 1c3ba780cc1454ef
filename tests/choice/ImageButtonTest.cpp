#include <vector>

#include "ChoiceFixture.h"
#include "choice/controls/ImageButton.h"
#include "choice/controls/MouseRouter.h"
#include "visual/AlphaImage.h"

namespace {

struct Notify final : qx::QXButtonNotify {
    void buttonClicked(std::int32_t id) override { ids.push_back(id); }
    std::vector<std::int32_t> ids;
};

class Button : public qxtest::VisualTest {
protected:
    void pictures(const char* base, std::int32_t w, std::int32_t h) {
        picture(std::string(base) + "_0.png/image", w, h, 8, qxtest::kAlphaFormat);
        picture(std::string(base) + "_1.png/image", w, h, 8, qxtest::kAlphaFormat);
    }
    void route(std::uint32_t type, std::int32_t x, std::int32_t y) {
        router.handleEvent(host.makePointerEvent(type, x, y));
        button.draw(&canvas);
    }

    Notify notify;
    qx::MouseRouter router;
    qx::ImageButton button;
};

TEST_F(Button, KeptOnScreenItClicksOnEveryReleaseThatReachesItAndLooksPushedWhilePressed) {
    pictures("r", 40, 40);
    qx::ImageButton right;
    right.setUp(archive.root(), "r", 610, 430, 1, &notify);
    EXPECT_EQ(right.hitArea(), qx::Rect(600, 430, 40, 40)) << "pulled in from the right";
    pictures("l", 30, 30);
    button.setUp(archive.root(), "l", 0, 470, 7, &notify);
    EXPECT_EQ(button.hitArea(), qx::Rect(0, 450, 30, 30)) << "pulled up from the bottom";
    router.addParticipant(button.mouseFace());
    route(qx::kHostPointerPressed, 5, 455);
    EXPECT_EQ(button.image(1)->position, qx::Point(2, 452));
    EXPECT_EQ(button.hitArea(), qx::Rect(2, 452, 30, 30));
    route(qx::kHostPointerReleased, 300, 10);
    EXPECT_EQ(notify.ids, std::vector<std::int32_t>{7});
    EXPECT_EQ(button.state(), 0);
    EXPECT_EQ(button.hitArea().x, 2) << "the normal look leaves the hover look where it was";
    route(qx::kHostPointerMoved, 10, 460);
    EXPECT_EQ(button.hitArea(), qx::Rect(0, 450, 30, 30));
    route(qx::kHostPointerPressed, 300, 10);
    route(qx::kHostPointerReleased, 10, 460);
    EXPECT_EQ(notify.ids, (std::vector<std::int32_t>{7, 7}));
}

} // namespace
