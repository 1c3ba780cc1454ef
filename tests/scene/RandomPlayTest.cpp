// A player with no plan: seeded random presses, moves and releases with random delays and
// now and then a slow frame, in short bursts. After each burst the animations are given
// time to end, and the screen must then be whole; at the end of each scene every round is
// looked at and play must write what the doors showed. A failure names the seed and the
// burst, and lists what the player did in it.
//
// The same test is built twice (QX_RANDOM_PLAY_SUITE names it, QX_RANDOM_PLAY_SCENES sets the
// number of scenes): a few hundred bursts for the dev run, ten thousand under the label
// "long" for the release run.
#include <random>
#include <sstream>

#include "SceneChecks.h"
#include "scene/SceneFixture.h"

namespace {

using namespace scenetest;

constexpr std::uint32_t kScenes = QX_RANDOM_PLAY_SCENES;
// Bursts per scene: a new scene now and then also covers play and the start.
constexpr int kBurstsPerScene = 50;
// Long enough for the longest chain a burst can leave behind: a shrink, the slide into view,
// the grow and the return of the title.
constexpr std::int32_t kSettleMs = 2800;
// A slow frame comes up to this long after the one before.
constexpr std::int32_t kLongestFrameMs = 170;

class RandomPlayer {
public:
    // Every other scene the player leaves the arrows alone, so that the bar's gaps can be held
    // to their bounds (SceneChecks.h).
    RandomPlayer(Scene& scene, std::uint32_t seed)
        : scene_(scene), random_(seed), arrows_(seed % 2 == 0) {}

    // Two to twelve presses and releases, the mouse up again at the end.
    void burst() {
        actions_.str("");
        const int count = 2 * number(1, 6);
        for (int i = 0; i < count; ++i) {
            pause();
            act();
        }
    }
    std::string actions() const { return actions_.str(); }
    bool arrows() const { return arrows_; }

private:
    int number(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }

    // Between two inputs: nothing, a few frames or most of a second, and now and then a
    // frame that comes late.
    void pause() {
        const int kind = number(0, 9);
        const std::int32_t ms = kind < 2 ? 0 : kind < 6 ? number(16, 200) : number(200, 800);
        if (ms > 0 && number(0, 3) == 0) {
            scene_->stall(number(20, kLongestFrameMs - 17));
            actions_ << " slow-frame";
        }
        scene_->runFor(ms);
        actions_ << " wait " << ms;
    }

    // Where the player aims: mostly doors and titles, sometimes the arrows, the round
    // buttons, the stage or anywhere but the play button.
    Spot target() {
        const int kind = number(0, 19);
        if (kind < 7) {
            return kDoors[number(0, 8)];
        }
        if (kind < 13) {
            std::vector<Spot> titles;
            for (const qxhost::TextDraw& draw : scene_->textDraws()) {
                if (draw.clip == qxfuzz::kBarClip && draw.at.x > qxfuzz::kBarClip.x &&
                    draw.at.x < 600) {
                    titles.push_back({draw.at.x + number(0, 12), draw.at.y + number(2, 12)});
                }
            }
            if (!titles.empty()) {
                return titles[static_cast<std::size_t>(number(0, int(titles.size()) - 1))];
            }
        }
        if (kind == 13 && arrows_) {
            return number(0, 1) == 0 ? kLeftArrow : kRightArrow;
        }
        if (kind == 14) {
            return number(0, 1) == 0 ? kPreviousRound : kNextRound;
        }
        if (kind == 15) {
            return kEmptyStage;
        }
        return {number(arrows_ ? 0 : 40, arrows_ ? 639 : 600), number(60, 479)};
    }

    void act() {
        const Spot to = target();
        const int steps = number(0, 3);
        const std::int32_t fromX = scene_->pointerX();
        const std::int32_t fromY = scene_->pointerY();
        for (int step = 1; step <= steps; ++step) {
            scene_->moveTo(fromX + (to.x - fromX) * step / (steps + 1),
                           fromY + (to.y - fromY) * step / (steps + 1));
            scene_->frame();
        }
        scene_->moveTo(to.x, to.y);
        down_ ? scene_->release() : scene_->press();
        actions_ << (down_ ? " release " : " press ") << to.x << "," << to.y;
        down_ = !down_;
    }

    Scene& scene_;
    std::mt19937 random_;
    bool arrows_;
    std::ostringstream actions_;
    bool down_ = false;
};

bool expectNone(const std::vector<std::string>& problems, const std::string& where) {
    std::string all;
    for (const std::string& problem : problems) {
        all += "\n  " + problem;
    }
    EXPECT_TRUE(problems.empty()) << where << all;
    return problems.empty();
}

TEST(QX_RANDOM_PLAY_SUITE, EveryBurstSettlesIntoAWholeScreen) {
    for (std::uint32_t seed = 1; seed <= kScenes; ++seed) {
        Scene scene(demoData(), false);
        qxfuzz::SettledChoice settled(*scene.session, kLongestFrameMs);
        RandomPlayer player(scene, seed);
        const std::string name = "seed " + std::to_string(seed);
        scene->runFor(1700);
        for (int burst = 1; burst <= kBurstsPerScene; ++burst) {
            player.burst();
            scene->runFor(kSettleMs);
            if (!expectNone(settled.check(!player.arrows()),
                            name + ", burst " + std::to_string(burst) + ":" + player.actions())) {
                return;
            }
        }
        for (int round = 0; round < 3; ++round) {
            scene.click(kNextRound);
            scene->frame();
            if (!expectNone(settled.check(!player.arrows()), name + ", round tour")) {
                return;
            }
        }
        scene.click(kPlay);
        if (!expectNone(settled.checkPlayed(), name + ", play")) {
            return;
        }
    }
}

} // namespace
