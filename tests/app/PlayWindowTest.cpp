#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "AppTestSupport.h"
#include "app/GameStateReport.h"
#include "app/PlayWindow.h"
#include "host_archives/TempFolder.h"

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
        options.record = true;
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

    void steps(int count) {
        for (int i = 0; i < count; ++i) {
            ASSERT_TRUE(window_->step());
        }
    }

    std::unique_ptr<PlayWindow> window_;
};

TEST_F(PlayWindowTest, MouseIsMappedFromTheScaledWindowAndPlayEndsTheSceneWithinItsFade) {
    push(SDL_MOUSEMOTION, 1279, 101);
    steps(5);
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

// A topic dragged into door 1 by hand, with several window events between frames, then play:
// the recorded script replays headless to the same last screen and the same game state.
TEST_F(PlayWindowTest, RecordedSessionReplaysToTheSamePixelsAndGameState) {
    steps(110); // the opening fade
    push(SDL_MOUSEMOTION, 116, 856);
    push(SDL_MOUSEBUTTONDOWN, 116, 856);
    steps(2);
    for (int i = 1; i <= 12; ++i) {
        push(SDL_MOUSEMOTION, 116 + 15 * i, 856 - 31 * i);
        push(SDL_MOUSEMOTION, 116 + 16 * i, 856 - 31 * i);
        steps(1);
    }
    push(SDL_MOUSEBUTTONUP, 304, 484);
    steps(30);
    push(SDL_MOUSEMOTION, 120, 48);
    push(SDL_MOUSEBUTTONDOWN, 120, 48);
    push(SDL_MOUSEBUTTONUP, 120, 48);
    while (window_->step()) {
    }
    qxtest::TempFolder folder;
    ASSERT_TRUE(window_->saveRecording(folder.at("s.txt"), folder.at("s.png"))) << window_->error();
    std::ostringstream played;
    qxhost::app::printChosenTopics(
        played, qxhost::app::doorTopics(window_->session(), qxhost::app::kUnwrittenWord));
    qxtest::expectHas(played.str(), {"door 1 (word 13): History [hist]"});

    const auto replay = qxtest::run(qxtest::demoData(), folder.at("s.txt"), folder.at("out"));
    ASSERT_EQ(replay.status, 0) << replay.err << qxtest::readFile(folder.at("s.txt"));
    qxtest::expectHas(replay.out, {played.str()});
    EXPECT_TRUE(qxtest::readFile(folder.at("out/final.png")) ==
                qxtest::readFile(folder.at("s.png")))
        << "the replay ends on another screen";
}

TEST_F(PlayWindowTest, ClosingTheWindowEndsAtOnce) {
    push(SDL_QUIT, 0, 0);
    EXPECT_FALSE(window_->step());
    EXPECT_TRUE(window_->closedByUser());
}

// The folder is checked by a qxhost process while frames go on; the deadline only stops a
// hung check (the time from edit to reload is measured by qxbench).
bool stepUntil(PlayWindow& window, const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        window.step();
    }
    return done();
}

// A values.txt edit sets the scene up again in the same window; an edit that breaks the
// folder prints check's lines and keeps the scene that was running.
TEST(PlayWindowWatch, ReloadsAfterAnEditAndKeepsTheLastGoodSceneAfterABrokenOne) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    qxtest::TempFolder folder;
    qxtest::copyDemo(folder.path());
    const std::string values = folder.at("choice/values.txt");
    std::ostringstream said;
    qxhost::app::PlayOptions options;
    options.dataPath = folder.path();
    options.modulePath = qxtest::modulePath();
    options.watch = true;
    options.overlay = true;
    options.watchOutput = &said;
    options.checkProgram = qxtest::binaryDir() + "/qxhost";
    PlayWindow window(options);
    ASSERT_TRUE(window.open()) << window.error();
    ASSERT_TRUE(window.step());
    SDL_Window* shown = window.window();

    qxtest::replaceLine(values, "porte01", "porte01 = 120,160");
    ASSERT_TRUE(stepUntil(window, [&] { return window.reloads() == 1; })) << said.str();
    EXPECT_EQ(said.str(), "Changed: choice/values.txt\nSet up again: " + folder.path() +
                              ": no problems (9 doors, 45 topics)\n");
    ASSERT_NE(window.overlay(), nullptr);
    EXPECT_EQ(window.overlay()->doors().front().box.x, 120) << "the overlay follows the new values";
    EXPECT_EQ(window.window(), shown);

    said.str("");
    qxtest::replaceLine(values, "textcenter06", "# gone");
    ASSERT_TRUE(stepUntil(window, [&] { return !window.reloadPending() && !said.str().empty(); }));
    qxtest::expectHas(said.str(), {"values.txt: porte06: has no textcenter06",
                                   "Not loaded: the last good scene keeps running"});
    EXPECT_EQ(window.reloads(), 1);
    EXPECT_EQ(window.session().layout().doors.size(), 9u);
    EXPECT_TRUE(window.step()) << "the scene runs on";
}

} // namespace
