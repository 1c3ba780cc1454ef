// Sessions a player would play on the demo data, through the built module and the reference
// host, checked by what the player sees and what the game receives.
#include <set>

#include "scene/SceneFixture.h"

namespace {

using namespace scenetest;

const char* const kUnlocked = " unlocked\n";
const char* const kLocked = " locked\n";

void expectNoErrors(qxhost::SceneSession& session) {
    for (const auto& line : session.host().log().lines()) {
        EXPECT_LT(line.level, 3) << line.message;
    }
}

// Drops the bar's first title into a door and lets its button shrink away.
void fillDoor(Scene& scene, int door) {
    scene.drag(scene.firstTitle(), kDoors[door - 1]);
    scene->runFor(800);
}

TEST(SceneSetUp, ThreeRoundsShowFirstFourDoorsAndRoundButtons) {
    Scene scene;
    ASSERT_TRUE(scene.started) << scene->error();
    scene.glideTo(kEmptyStage);
    scene->runFor(100);
    expectScreen(scene->surface(), "three-rounds", 0x648bddfc88fbf6bcULL);

    // Door 9 stands over door 3 but belongs to round 3: in round 1 the drop lands in door 3.
    scene.drag(scene.firstTitle(), kDoors[8]);
    scene.click(kNextRound);
    EXPECT_TRUE(scene->host().log().contains(1, "QXChoice::Manche 2 selected\n"));
    scene.click(kPlay);
    EXPECT_EQ(scene.wordTitle(15), "History");
    EXPECT_EQ(scene->gameState()[21], 0U);
    expectNoErrors(*scene);
}

TEST(SceneSetUp, OneRoundShowsEveryDoorAndNoRoundButtons) {
    DataCopy data;
    data.remove("manche02.png");
    data.remove("manche03.png");
    Scene scene(data.path());
    ASSERT_TRUE(scene.started) << scene->error();
    scene.glideTo(kEmptyStage);
    scene->runFor(100);
    expectScreen(scene->surface(), "one-round", 0x456cdf3072fd5d4dULL);

    scene.click(kNextRound);
    EXPECT_EQ(scene.logCount("QXChoice::Manche"), 0U);
    scene.drag(scene.firstTitle(), kDoors[8]);
    scene.click(kPlay);
    EXPECT_EQ(scene.wordTitle(21), "History");
    EXPECT_EQ(scene->gameState()[15], 0U);
}

TEST(SceneDrag, DroppedTopicFillsDoorWhileItsButtonShrinksOutOfTheBar) {
    Scene scene;
    ASSERT_TRUE(scene.started) << scene->error();
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

    scene.glideTo(kEmptyStage);
    scene->runFor(300);
    const std::int32_t midway = scene.firstTitleX();
    scene->runFor(500);
    const std::int32_t closed = scene.firstTitleX();
    // The gap closes while the button shrinks: Geography moves left.
    EXPECT_LT(midway, geographyX);
    EXPECT_LT(closed, midway);
    expectScreen(scene->surface(), "history-in-door-1", 0xd840c221acc105abULL);

    scene.click(kPlay);
    EXPECT_EQ(scene.wordTitle(13), "History");
    for (int word = 14; word <= 21; ++word) {
        EXPECT_EQ(scene->gameState()[word], 0U) << word;
    }
    expectNoErrors(*scene);
}

TEST(SceneDrag, TitleTakenOutGlidesBackBeforeDoorsUnlock) {
    Scene scene;
    ASSERT_TRUE(scene.started) << scene->error();
    scene->runFor(100);
    const std::int32_t historyX = scene.firstTitleX();
    fillDoor(scene, 1);

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
    fillDoor(scene, 2);
    scene.click(kPlay);
    EXPECT_EQ(scene->gameState()[13], 0U);
    EXPECT_EQ(scene.wordTitle(14), "History");
}

TEST(SceneDrag, PressAndReleaseOnTheSameDoorPutsTheTopicBack) {
    Scene scene;
    ASSERT_TRUE(scene.started) << scene->error();
    fillDoor(scene, 1);
    const std::size_t unlocks = scene.logCount(kUnlocked);
    scene.click(kDoors[0]);
    EXPECT_EQ(scene.logCount(kUnlocked), unlocks + 9);
    scene->runFor(2000);
    fillDoor(scene, 2);
    scene.click(kPlay);
    EXPECT_EQ(scene.wordTitle(13), "History");
    EXPECT_EQ(scene.wordTitle(14), "Geography");
}

TEST(TopicBarScroll, ArrowsSlideTheWrappedRow) {
    Scene scene;
    ASSERT_TRUE(scene.started) << scene->error();
    scene.click(kRightArrow);
    scene->runFor(500);
    fillDoor(scene, 1);
    // The last topic with a button comes round to the front of the row.
    for (int i = 0; i < 2; ++i) {
        scene.click(kLeftArrow);
        scene->runFor(500);
    }
    expectScreen(scene->surface(), "bar-scrolled-left", 0x3878b278f827ab4bULL);
    fillDoor(scene, 2);
    scene.click(kPlay);
    EXPECT_EQ(scene.wordTitle(13), "Geography");
    EXPECT_EQ(scene.wordTitle(14), "Magic Tricks");
}

TEST(TopicBarScroll, TakingATitleOutBringsItsFarButtonIntoView) {
    Scene scene;
    ASSERT_TRUE(scene.started) << scene->error();
    fillDoor(scene, 1);
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
    EXPECT_EQ(scene.wordTitle(14), "History");
}

TEST(SceneRounds, RoundButtonsCycleThroughTheRoundsAndTheirDoors) {
    Scene scene;
    ASSERT_TRUE(scene.started) << scene->error();
    auto& log = scene->host().log();
    scene.click(kNextRound);
    scene.click(kNextRound);
    EXPECT_TRUE(log.contains(1, "QXChoice::Manche 3 selected\n"));
    fillDoor(scene, 9);
    scene.click(kNextRound);
    EXPECT_TRUE(log.contains(1, "QXChoice::Manche 1 selected\n"));
    scene.click(kPreviousRound);
    EXPECT_EQ(log.count("QXChoice::Manche 3 selected\n"), 2U);
    scene.click(kPreviousRound);
    EXPECT_EQ(log.count("QXChoice::Manche 2 selected\n"), 2U);
    scene.glideTo(kEmptyStage);
    scene->frame();
    expectScreen(scene->surface(), "round-2", 0x8839807f738d38ebULL);
    fillDoor(scene, 5);
    scene.click(kPlay);
    EXPECT_EQ(scene.wordTitle(21), "History");
    EXPECT_EQ(scene.wordTitle(17), "Geography");
}

TEST(ScenePlay, PlayWritesEveryDoorInOrderAndEndsAfterTheFade) {
    Scene scene;
    ASSERT_TRUE(scene.started) << scene->error();
    for (int door = 1; door <= 9; ++door) {
        if (door == 5 || door == 8) {
            scene.click(kNextRound);
        }
        fillDoor(scene, door);
    }
    scene.glideTo(kPlay);
    scene->press();
    scene->frame();
    scene->release();
    const std::int32_t released = scene->now();
    while (scene->now() - released < 400) {
        EXPECT_TRUE(scene->running()) << scene->now() - released;
        scene->frame();
    }
    EXPECT_FALSE(scene->running());
    const char* titles[] = {"History", "Geography", "Science",   "Cinema",    "Pop Music",
                            "Sports",  "Cooking",   "Fine Arts", "Literature"};
    for (int door = 1; door <= 9; ++door) {
        EXPECT_EQ(scene.wordTitle(12 + door), titles[door - 1]) << "door " << door;
    }
    EXPECT_EQ(scene->gameState()[12], 0U);
    EXPECT_EQ(scene->gameState()[22], 0U);
}

TEST(ScenePlay, ReversedDoorMapSendsDoorOneToTheLastWord) {
    DataCopy data;
    data.editValues([](const std::string& line) {
        return line.rfind("portemap", 0) == 0 ? "portemap = 9,8,7,6,5,4,3,2,1" : line;
    });
    Scene scene(data.path());
    ASSERT_TRUE(scene.started) << scene->error();
    fillDoor(scene, 1);
    fillDoor(scene, 4);
    scene.click(kPlay);
    EXPECT_EQ(scene.wordTitle(21), "History");
    EXPECT_EQ(scene.wordTitle(18), "Geography");
    EXPECT_EQ(scene->gameState()[13], 0U);
}

TEST(SceneEnd, TearDownLeavesNoSceneEntryAndNoLiveEvent) {
    Scene scene;
    ASSERT_TRUE(scene.started) << scene->error();
    EXPECT_EQ(scene->host().entries("QXChoice").size(), 3U);
    fillDoor(scene, 1);
    scene.drag(kDoors[0], kEmptyStage); // a title in flight when the scene ends
    scene.click(kPlay);
    scene->runFor(500);
    EXPECT_FALSE(scene->running());
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
