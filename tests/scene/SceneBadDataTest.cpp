// Broken copies of the demo data: the scene logs only what its lookups report, and the player
// can still play what is left.
#include <string>

#include "scene/SceneFixture.h"

namespace {

using namespace scenetest;

bool startsWith(const std::string& line, const std::string& head) {
    return line.rfind(head, 0) == 0;
}

std::string dropAll(const std::string&) { return {}; }

// What a player would still do: one topic into a door, then play.
void playOneTopic(Scene& scene, int door = 1) {
    scene.fill(door);
    scene.click(kPlay);
    scene->runFor(500);
}

TEST(SceneBadData, MissingPicturesSoundsAndValuesAreReportedAndSkipped) {
    DataCopy data;
    for (const char* file : {"qmark.png", "pt1.png", "l_0.png", "selected.wav", "deleted.wav"}) {
        data.remove(file);
    }
    data.edit(kValues, [](const std::string& line) {
        return startsWith(line, "showframes") || startsWith(line, "portemap") ? "" : line;
    });
    Scene scene(data.path());
    auto& log = scene->host().log();
    EXPECT_TRUE(log.contains(1, "missing resource:<<qmark.png/image>>\n"));
    EXPECT_TRUE(log.contains(1, "missing resource:<<pt1.png/image>>\n"));
    EXPECT_TRUE(log.contains(1, "missing resource:<<selected.wav/*>>\n"));
    EXPECT_TRUE(log.contains(1, "missing resource:<<l_0.png/image>>\n"));

    // Door 1, with neither picture nor mark, offers nothing to drop on; door 2 keeps its
    // picture and takes the topic. Without "portemap" the map stays 1 to 9.
    scene.drag(scene.firstTitle(), kDoors[0]);
    scene->runFor(1000);
    playOneTopic(scene, 2);
    EXPECT_FALSE(scene->running());
    EXPECT_EQ(scene.entryWord(1), 0U);
    EXPECT_EQ(scene.entryTitle(2), "History");
}

TEST(SceneBadData, MalformedLayoutValuesAreReadLikeAtoiAndTheRestStillWorks) {
    DataCopy data;
    data.edit(
        kValues,
        [](const std::string& line) {
            if (startsWith(line, "porte04")) {
                return std::string("porte04 = 440");
            }
            return startsWith(line, "portemap") ? "portemap = one,2,3" : line;
        },
        "porte10 = 10,10\ntextcenter10 = 40,40\nporte11 = 20,20\ntextcenter11 = 50,50\n"
        "porte12 = 30,30\ntextcenter12 = 60,60\n");
    Scene scene(data.path());
    scene.expectNoErrors();

    // "one" converts to 0: door 1 writes the word of entry 0.
    playOneTopic(scene);
    EXPECT_EQ(scene.entryTitle(0), "History");
    EXPECT_EQ(scene->host().liveEvents(), 0);
}

TEST(SceneBadData, ProducerWithoutTopicsGivesAnEmptyBar) {
    DataCopy data;
    data.edit("topics.txt", dropAll);
    Scene scene(data.path());
    scene.expectNoErrors();
    EXPECT_EQ(scene.firstTitleX(), -1);
    scene.click(kLeftArrow);
    scene.click(kRightArrow);
    scene.drag({60, 428}, kDoors[0]);
    scene.click(kPlay);
    scene->runFor(500);
    EXPECT_FALSE(scene->running());
    EXPECT_EQ(scene.entryWord(1), 0U);
}

} // namespace
