// Sessions a player would play on the demo data, through the built module and the reference
// host, checked by what the player sees and what the game receives.
#include <set>

#include "scene/SceneFixture.h"

namespace {

using namespace scenetest;

const char* const kUnlocked = " unlocked\n";
const char* const kLocked = " locked\n";

TEST(SceneSetUp, ThreeRoundsShowFirstFourDoorsAndRoundButtons) {
    Scene scene;
    scene.glideTo(kEmptyStage);
    scene->runFor(100);
    expectScreen(scene->surface(), "three-rounds", 0x648bddfc88fbf6bcULL);

    // Door 9 stands over door 3 but belongs to round 3: in round 1 the drop lands in door 3.
    scene.drag(scene.firstTitle(), kDoors[8]);
    scene.click(kNextRound);
    EXPECT_TRUE(scene->host().log().contains(1, "QXChoice::Manche 2 selected\n"));
    scene.click(kPlay);
    EXPECT_EQ(scene.entryTitle(3), "History");
    EXPECT_EQ(scene.entryWord(9), 0U);
    scene.expectNoErrors();
}

// One round shows every door and no round buttons; a reversed door map sends door 1 to the
// last word.
TEST(SceneSetUp, OneRoundShowsEveryDoorAndFollowsTheDoorMap) {
    DataCopy data;
    data.remove("manche02.png");
    data.remove("manche03.png");
    data.edit(kValues, [](const std::string& line) {
        return line.rfind("portemap", 0) == 0 ? "portemap = 9,8,7,6,5,4,3,2,1" : line;
    });
    Scene scene(data.path());
    scene.glideTo(kEmptyStage);
    scene->runFor(100);
    expectScreen(scene->surface(), "one-round", 0x456cdf3072fd5d4dULL);

    scene.click(kNextRound);
    EXPECT_EQ(scene.logCount("QXChoice::Manche"), 0U);
    scene.fill(9);
    scene.fill(6);
    scene.click(kPlay);
    EXPECT_EQ(scene.entryTitle(1), "History");
    EXPECT_EQ(scene.entryTitle(4), "Geography");
    EXPECT_EQ(scene.entryWord(9), 0U);
}

TEST(SceneDrag, DroppedTopicFillsDoorWhileItsButtonShrinksOutOfTheBar) {
    Scene scene;
    scene.glideTo(kEmptyStage);
    scene->runFor(100);
    const std::int32_t geographyX = scene.firstTitleX(scene.firstTitleX() + 60);
    scene.glideTo(scene.firstTitle());
    scene->press();
    scene.glideTo(kDoors[0]);
    expectScreen(scene->surface(), "title-over-door-1", 0xc2511809eb57f855ULL);
    const std::size_t unlocks = scene.logCount(kUnlocked);
    scene->release();
    EXPECT_EQ(scene.logCount(kUnlocked), unlocks + 9) << "the drop unlocks every door";

    // The gap closes while the button shrinks: Geography moves left.
    scene.glideTo(kEmptyStage);
    scene->runFor(300);
    const std::int32_t midway = scene.firstTitleX();
    scene->runFor(500);
    EXPECT_LT(midway, geographyX);
    EXPECT_LT(scene.firstTitleX(), midway);
    expectScreen(scene->surface(), "history-in-door-1", 0xd840c221acc105abULL);

    scene.click(kPlay);
    EXPECT_EQ(scene.entryTitle(1), "History");
    for (int entry = 2; entry <= 9; ++entry) {
        EXPECT_EQ(scene.entryWord(entry), 0U) << entry;
    }
    scene.expectNoErrors();
}

TEST(SceneDrag, TitleTakenOutGlidesBackBeforeDoorsUnlockAndAClickInPlaceKeepsIt) {
    Scene scene;
    scene->runFor(100);
    const std::int32_t historyX = scene.firstTitleX();
    scene.fill(1);

    const std::size_t locks = scene.logCount(kLocked);
    scene.drag(kDoors[0], kEmptyStage);
    EXPECT_EQ(scene.logCount(kLocked), locks + 9);
    const std::size_t unlocks = scene.logCount(kUnlocked);
    // The button slides (400 ms) and grows (700 ms) before the title returns (450 ms).
    scene->runFor(1450);
    EXPECT_EQ(scene.logCount(kUnlocked), unlocks);
    scene->runFor(200);
    EXPECT_EQ(scene.logCount(kUnlocked), unlocks + 9);
    expectScreen(scene->surface(), "history-back-in-bar", 0x4fe3f7f4a3a62e48ULL);
    EXPECT_EQ(scene.firstTitleX(), historyX);

    // Press and release on the same door: the doors unlock again and the title stays.
    scene.fill(2);
    scene.click(kDoors[1]);
    EXPECT_EQ(scene.logCount(kUnlocked), unlocks + 27);
    scene->runFor(2000);
    scene.fill(3);
    scene.click(kPlay);
    EXPECT_EQ(scene.entryWord(1), 0U);
    EXPECT_EQ(scene.entryTitle(2), "History");
    EXPECT_EQ(scene.entryTitle(3), "Geography");
}

TEST(TopicBarScroll, ArrowsSlideTheWrappedRow) {
    Scene scene;
    scene.click(kRightArrow);
    scene->runFor(500);
    scene.fill(1);
    // The last topic with a button comes round to the front of the row.
    for (int i = 0; i < 2; ++i) {
        scene.click(kLeftArrow);
        scene->runFor(500);
    }
    expectScreen(scene->surface(), "bar-scrolled-left", 0x3878b278f827ab4bULL);
    scene.fill(2);
    scene.click(kPlay);
    EXPECT_EQ(scene.entryTitle(1), "Geography");
    EXPECT_EQ(scene.entryTitle(2), "Magic Tricks");
}

TEST(TopicBarScroll, TakingATitleOutBringsItsFarButtonIntoView) {
    Scene scene;
    scene.fill(1);
    for (int i = 0; i < 3; ++i) {
        scene.click(kRightArrow);
        scene->runFor(500);
    }
    scene.drag(kDoors[0], kEmptyStage);
    scene->runFor(2000);
    expectScreen(scene->surface(), "history-centred", 0xa23221980b493beeULL);
    scene.drag({226, 428}, kDoors[1]);
    scene->runFor(800);
    scene.click(kPlay);
    EXPECT_EQ(scene.entryTitle(2), "History");
}

// Round buttons cycle through the rounds and their doors; every door is filled, one title is
// taken out and still in flight at play, and tear-down leaves nothing of the scene.
TEST(ScenePlay, RoundsFillEveryDoorPlayEndsAfterTheFadeAndTearDownLeavesNothing) {
    Scene scene;
    auto& log = scene->host().log();
    EXPECT_EQ(scene->host().entries("QXChoice").size(), 3U);
    scene.click(kNextRound);
    scene.click(kNextRound);
    EXPECT_TRUE(log.contains(1, "QXChoice::Manche 3 selected\n"));
    scene.fill(9);
    scene.click(kNextRound);
    EXPECT_TRUE(log.contains(1, "QXChoice::Manche 1 selected\n"));
    scene.click(kPreviousRound);
    EXPECT_EQ(log.count("QXChoice::Manche 3 selected\n"), 2U);
    scene.click(kPreviousRound);
    EXPECT_EQ(log.count("QXChoice::Manche 2 selected\n"), 2U);
    scene.glideTo(kEmptyStage);
    scene->frame();
    expectScreen(scene->surface(), "round-2", 0x8839807f738d38ebULL);
    for (int door : {5, 6, 7, -1, 8, -1, 1, 2, 3, 4}) {
        door < 0 ? scene.click(kNextRound) : scene.fill(door);
    }
    scene.drag(kDoors[3], kEmptyStage);

    scene.glideTo(kPlay);
    scene->press();
    scene->frame();
    scene->release();
    const std::int32_t released = scene->now();
    while (scene->now() - released < qx::screen::kFadeMs) {
        EXPECT_TRUE(scene->running()) << scene->now() - released;
        scene->frame();
    }
    EXPECT_FALSE(scene->running());
    const char* titles[] = {"Sports",  "Cooking", "Fine Arts", "",       "Geography",
                            "Science", "Cinema",  "Pop Music", "History"};
    for (int door = 1; door <= 9; ++door) {
        EXPECT_EQ(scene.entryTitle(door), titles[door - 1]) << "door " << door;
    }
    EXPECT_EQ(scene.entryWord(0), 0U);
    EXPECT_EQ(scene.entryWord(10), 0U);

    scene->endScene();
    EXPECT_EQ(scene->host().entries("QXChoice").size(), 0U);
    // What stays is the host's and the resource tree's (archives and their open streams).
    const std::set<std::string> sceneInterfaces{"IVisible",    "ITouchable",     "QXMouseListener",
                                                "QXLockPorte", "QXButtonNotify", "IQXScene",
                                                "ISound",      "IReferenceCount"};
    for (const qx::RegistryEntry* entry : scene->host().entries()) {
        EXPECT_EQ(sceneInterfaces.count(entry->interfaceName), 0U)
            << entry->objectName << " " << entry->interfaceName;
    }
    EXPECT_EQ(scene->host().liveEvents(), 0);
}

} // namespace
