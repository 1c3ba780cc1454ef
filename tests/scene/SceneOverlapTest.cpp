// A quick player overlaps animations: titles lifted out of doors while they still shrink,
// dropped while others shrink or grow, doors pressed while a title returns. Each sequence is
// played as fast as a player would and again one step at a time; once the animations have
// ended both screens must be whole and alike, and play must write what the doors show.
#include <algorithm>
#include <functional>
#include <map>

#include "SceneChecks.h"
#include "scene/SceneFixture.h"

namespace {

using namespace scenetest;
using qxfuzz::SettledChoice;

// The quick run lets each wait pass as given; the one-at-a-time run waits until every
// animation has ended, and leaves out what only the quick run's timing makes happen.
struct Pace {
    Scene& scene;
    bool quick;
    void wait(std::int32_t ms) { scene->runFor(quick ? ms : std::max(ms, 2600)); }
};
using Sequence = std::function<void(Scene&, Pace&)>;

// Where the player grabs a title at rest in the bar.
Spot titleInBar(Scene& scene, const std::string& title) {
    for (const qxhost::TextDraw& draw : scene->textDraws()) {
        if (draw.text == title && draw.clip == qxfuzz::kBarClip) {
            return {draw.at.x + 6, 428};
        }
    }
    ADD_FAILURE() << title << " is not at rest in the bar";
    return kEmptyStage;
}

// A title from the bar into a door in two frames: press, move, release.
void quickDrop(Scene& scene, const std::string& name, Spot door) {
    const Spot title = titleInBar(scene, name);
    scene->moveTo(title.x, title.y);
    scene->press();
    scene->frame();
    scene->moveTo(door.x, door.y);
    scene->frame();
    scene->release();
}

// A press on a door, a glide to the target and a release there.
void lift(Scene& scene, Spot door, Spot to) {
    scene->moveTo(door.x, door.y);
    scene->press();
    scene->frame();
    scene.glideTo(to);
    scene->release();
}

// Every door seen in each round, then play: what the game receives matches what was seen.
void expectPlayWritesWhatDoorsShow(Scene& scene, SettledChoice& settled) {
    for (int round = 0; round < 3; ++round) {
        scene.click(kNextRound);
        scene->runFor(100);
        EXPECT_EQ(settled.check(), std::vector<std::string>{}) << "round " << round + 2;
    }
    scene.click(kPlay);
    EXPECT_EQ(settled.checkPlayed(), std::vector<std::string>{});
}

struct Settled {
    std::vector<SettledChoice::Seen> seen;
    std::map<std::string, std::int32_t> gaps;
};

// Plays the sequence on a new scene, lets the animations end and checks the screen; the quick
// run also checks what play writes.
Settled playAndSettle(const Sequence& sequence, bool quick) {
    Scene scene(demoData(), false);
    scene->runFor(1700);
    Pace pace{scene, quick};
    sequence(scene, pace);
    scene.glideTo(kEmptyStage);
    scene->runFor(3000);
    SettledChoice settled(*scene.session);
    EXPECT_EQ(settled.check(), std::vector<std::string>{}) << (quick ? "quick" : "one at a time");
    Settled result{settled.seen(), settled.gaps()};
    if (quick) {
        expectPlayWritesWhatDoorsShow(scene, settled);
    }
    return result;
}

void expectSettledAsOneAtATime(const std::string& name, const Sequence& sequence) {
    SCOPED_TRACE(name);
    const Settled quick = playAndSettle(sequence, true);
    const Settled slow = playAndSettle(sequence, false);
    for (std::size_t t = 0; t < quick.seen.size(); ++t) {
        EXPECT_EQ(quick.seen[t].place, slow.seen[t].place) << "title " << t;
        EXPECT_EQ(quick.seen[t].doors, slow.seen[t].doors) << "title " << t;
    }
    int common = 0;
    for (const auto& [pair, gap] : quick.gaps) {
        if (auto other = slow.gaps.find(pair); other != slow.gaps.end()) {
            ++common;
            EXPECT_NEAR(gap, other->second, 3) << pair;
        }
    }
    EXPECT_GE(common, 4);
}

const char* const kTitles[] = {"History", "Geography", "Science", "Cinema", "Pop Music"};

TEST(SceneOverlap, TitleLiftedWhileItsButtonShrinksIsNeverLost) {
    const std::pair<const char*, Spot> targets[] = {
        {"away", kEmptyStage}, {"another door", kDoors[1]}, {"the same door", kDoors[0]}};
    for (std::int32_t after : {100, 300, 650}) {
        for (const auto& [where, to] : targets) {
            expectSettledAsOneAtATime("lifted " + std::to_string(after) +
                                          " ms after the drop, released on " + where,
                                      [&, to = to](Scene& scene, Pace& pace) {
                                          quickDrop(scene, "History", kDoors[0]);
                                          pace.wait(after);
                                          lift(scene, kDoors[0], to);
                                      });
        }
    }
}

TEST(SceneOverlap, TitlesDroppedInQuickSuccessionCloseTheBarAsOneAtATime) {
    const std::int32_t gaps[] = {50, 150, 200, 80};
    for (int drops : {2, 3, 5}) {
        expectSettledAsOneAtATime(std::to_string(drops) + " drops", [&](Scene& scene, Pace& pace) {
            for (int i = 0; i < drops; ++i) {
                if (i > 0) {
                    pace.wait(gaps[i - 1] - 33);
                }
                if (i == 4) {
                    // The fifth door is in the second round.
                    scene->moveTo(kNextRound.x, kNextRound.y);
                    scene->press();
                    scene->release();
                }
                quickDrop(scene, kTitles[i], kDoors[i]);
            }
        });
    }
}

TEST(SceneOverlap, DropDuringAGrowAndPressDuringAReturn) {
    expectSettledAsOneAtATime("another title dropped while one grows back",
                              [](Scene& scene, Pace& pace) {
                                  quickDrop(scene, "History", kDoors[0]);
                                  pace.wait(800);
                                  lift(scene, kDoors[0], kEmptyStage);
                                  pace.wait(500);
                                  quickDrop(scene, "Geography", kDoors[1]);
                              });
    expectSettledAsOneAtATime("a title dropped again while its own button grows back",
                              [](Scene& scene, Pace& pace) {
                                  quickDrop(scene, "History", kDoors[0]);
                                  pace.wait(800);
                                  scene->moveTo(kDoors[0].x, kDoors[0].y);
                                  scene->press();
                                  pace.wait(600);
                                  scene.glideTo(kDoors[2]);
                                  scene->release();
                              });
    expectSettledAsOneAtATime("a door pressed while a title from the bar returns",
                              [](Scene& scene, Pace& pace) {
                                  quickDrop(scene, "History", kDoors[1]);
                                  pace.wait(800);
                                  lift(scene, titleInBar(scene, "Geography"), kEmptyStage);
                                  pace.wait(200);
                                  lift(scene, kDoors[1], kEmptyStage);
                              });
    expectSettledAsOneAtATime("a locked door pressed while a lifted title returns",
                              [](Scene& scene, Pace& pace) {
                                  quickDrop(scene, "History", kDoors[0]);
                                  pace.wait(800);
                                  quickDrop(scene, "Geography", kDoors[1]);
                                  pace.wait(800);
                                  lift(scene, kDoors[0], kEmptyStage);
                                  pace.wait(900);
                                  if (pace.quick) {
                                      // Locked until History is back: nothing happens.
                                      lift(scene, kDoors[1], kEmptyStage);
                                  }
                              });
}

} // namespace
