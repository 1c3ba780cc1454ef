#include <gtest/gtest.h>

#include <cstdlib>

#include "AppTestSupport.h"
#include "app/PlayWindow.h"

namespace {

using qxhost::app::PlayWindow;

// SDL's dummy drivers: a real window and renderer without a display, and events injected
// through SDL's own queue; the clock moves by hand, one frame at a time.
class PlayWindowTest : public testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        qxhost::app::PlayOptions options;
        options.dataPath = qxtest::demoData();
        options.modulePath = qxtest::modulePath();
        options.scale = 2;
        options.manualClock = true;
        window_ = std::make_unique<PlayWindow>(options);
        ASSERT_TRUE(window_->open()) << window_->error();
    }

    void push(Uint32 type, int x, int y) {
        SDL_Event event{};
        event.type = type;
        if (type == SDL_MOUSEMOTION) {
            event.motion.x = x;
            event.motion.y = y;
        } else {
            event.button.button = SDL_BUTTON_LEFT;
            event.button.x = x;
            event.button.y = y;
        }
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    }

    std::unique_ptr<PlayWindow> window_;
};

TEST_F(PlayWindowTest, MouseIsMappedFromTheScaledWindowAndPlayEndsTheSceneWithinItsFade) {
    push(SDL_MOUSEMOTION, 1279, 101);
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(window_->step());
    }
    EXPECT_EQ(window_->session().pointerX(), 639);
    EXPECT_EQ(window_->session().pointerY(), 50);
    // The play button's picture lies at (0, 0) to (120, 48) on the screen.
    push(SDL_MOUSEMOTION, 120, 48);
    push(SDL_MOUSEBUTTONDOWN, 120, 48);
    ASSERT_TRUE(window_->step());
    push(SDL_MOUSEBUTTONUP, 120, 48);
    int frames = 1;
    while (frames <= 60 && window_->step()) {
        ++frames;
    }
    EXPECT_GE(frames, 24); // 400 ms of closing fade at 60 frames a second
    EXPECT_LE(frames, 60) << "the scene kept running after play";
    EXPECT_FALSE(window_->closedByUser());
    EXPECT_EQ(window_->session().scene(), nullptr) << "a stopped scene is torn down";
}

TEST_F(PlayWindowTest, ClosingTheWindowEndsAtOnce) {
    push(SDL_QUIT, 0, 0);
    EXPECT_FALSE(window_->step());
    EXPECT_TRUE(window_->closedByUser());
}

} // namespace
