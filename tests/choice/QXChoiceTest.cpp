#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "ChoiceFixture.h"
#include "choice/QXChoice.h"
#include "choice/controls/ImageButton.h"
#include "choice/controls/Porte.h"

namespace {

// The fixture's archive is the "choice" folder, below a root archive of its own.
class Scene : public qxtest::VisualTest {
protected:
    Scene() {
        host.clock().set(5000);
        top.addFolder("choice", archive);
    }
    ~Scene() override {
        if (scene != nullptr) {
            scene->tearDown();
            scene->releaseReference();
        }
    }
    // The pictures of the rounds, the mark, cursor, arrows and play strip (20 x 20 at (0, 0)).
    void data(int rounds) {
        for (int n = 1; n <= rounds; ++n)
            picture("manche0" + std::to_string(n) + ".png/image", 4, 4, 16, qxtest::kScreenFormat);
        picture("qmark.png/image", 20, 30, 8, qxtest::kAlphaFormat);
        picture("cursor.png/image", 1, 1, 16, qxtest::kScreenFormat);
        picture("playbutton.png/image", 20, 40, 16, qxtest::kScreenFormat, {}, 2);
        for (const char* look : {"l_0", "l_1", "r_0", "r_1", "bl_0", "bl_1", "br_0", "br_1"})
            picture(std::string(look) + ".png/image", 30, 30, 8, qxtest::kAlphaFormat);
    }
    // Door n at (60 n, 100), without a picture: its mark at (60 n + 10, 115) takes the pointer.
    void doors(int first, int last) {
        for (int n = first; n <= last; ++n) {
            const std::string two = (n < 10 ? "0" : "") + std::to_string(n);
            archive.addText("porte" + two, std::to_string(60 * n) + ",100");
            archive.addText("textcenter" + two, std::to_string(60 * n + 20) + ",160");
        }
    }
    void start() {
        scene = new qx::QXChoice;
        scene->setUp(&canvas, top.root(), words);
    }
    void pointer(std::uint32_t kind, std::int32_t x, std::int32_t y) {
        EXPECT_EQ(scene->handleEvent(host.makePointerEvent(kind, x, y)), 1);
    }
    // '1' for each shown door, '0' for each hidden one, doors 1 to 9.
    std::string shown() {
        std::string result;
        for (int slot = 0; slot < 9; ++slot)
            result += scene->door(slot)->hidden == 0 ? '1' : '0';
        return result;
    }

    qxtest::MemoryArchive top{"top"};
    std::optional<qxtest::Producer> producer;
    qx::Handle words[24] = {};
    qx::QXChoice* scene = nullptr;
};

TEST_F(Scene, RoundButtonsCycleThroughThreeRounds) {
    data(3);
    doors(1, 9);
    start();
    EXPECT_EQ(shown(), "111100000");
    EXPECT_EQ(scene->roundButton(0)->origin(), qx::Point(30, 200));
    EXPECT_EQ(scene->roundButton(1)->origin(), qx::Point(550, 200));
    const std::tuple<std::int32_t, const char*, const char*> steps[] = {
        {17, "000011100", "QXChoice::Manche 2 selected\n"},
        {17, "000000011", "QXChoice::Manche 3 selected\n"},
        {17, "111100000", "QXChoice::Manche 1 selected\n"},
        {16, "000000011", "QXChoice::Manche 3 selected\n"}};
    for (auto [id, doorsShown, line] : steps) {
        host.log().clear();
        scene->buttonClicked(id);
        EXPECT_TRUE(host.log().contains(1, line)) << line;
        EXPECT_EQ(shown(), doorsShown);
    }
}

TEST_F(Scene, PlayWritesTheTopicsThroughTheDoorMapFadesOutAndTearsDownClean) {
    data(1);
    doors(1, 9);
    archive.addText("portemap", "9,8,7,6,5,4,3,2,1");
    producer.emplace();
    qx::TopicItem* item = producer->add("abcd");
    // A search for nothing opens every directory below the root, whose streams belong to the
    // resource tree; everything the scene publishes must go with it.
    top.root()->findEntry(nullptr, "nothing", nullptr);
    const std::size_t entriesBefore = host.entries().size();
    start();
    pointer(qx::kHostPointerMoved, 35, 425);
    pointer(qx::kHostPointerPressed, 35, 425);
    pointer(qx::kHostPointerMoved, 75, 120);
    pointer(qx::kHostPointerReleased, 75, 120);
    ASSERT_EQ(scene->door(0)->heldTopic(), item);

    pointer(qx::kHostPointerPressed, 5, 5);
    pointer(qx::kHostPointerReleased, 5, 5);
    EXPECT_EQ(
        std::vector<qx::Handle>(words + 13, words + 22),
        (std::vector<qx::Handle>{0, 0, 0, 0, 0, 0, 0, 0, reinterpret_cast<qx::Handle>(item)}));
    host.clock().advance(399);
    scene->update();
    EXPECT_EQ(scene->isRunning(), 1);
    host.clock().advance(1);
    scene->update();
    EXPECT_EQ(scene->isRunning(), 0);

    scene->drawScene();
    scene->tearDown();
    scene->releaseReference();
    scene = nullptr;
    host.drainEvents();
    EXPECT_EQ(host.entries().size(), entriesBefore);
    EXPECT_EQ(qx::liveModuleEvents() + host.liveEvents(), 0);
}

TEST_F(Scene, OneRoundWithBadDataShowsEveryDoorAndReportsEachFaultOnce) {
    data(1);
    archive.addText("porte01", "100");
    archive.addText("textcenter01", "120,160");
    doors(2, 12);
    archive.addText("portemap", "3,x,5");
    start();
    for (const char* line : {"QXChoice: value porte01 \"100\" has no comma; y is taken as 0\n",
                             "QXChoice: more than 11 doors; door 12 is ignored\n",
                             "QXChoice: portemap entry 2 is not a door number from 1 to 9\n",
                             "QXChoice: no IQXProducer; the topic bar stays empty\n"}) {
        EXPECT_EQ(host.log().count(line), 1u) << line;
    }
    EXPECT_EQ(scene->roundButton(0), nullptr);
    EXPECT_EQ(shown(), "111111111");
    EXPECT_EQ(scene->door(0)->position, qx::Point(100, 0));
    EXPECT_EQ(scene->door(10)->position, qx::Point(660, 100));
    EXPECT_EQ(std::vector<std::int32_t>(scene->doorMap(), scene->doorMap() + 4),
              (std::vector<std::int32_t>{3, 2, 5, 4}));
    scene->buttonClicked(0);
    scene->update();
    scene->drawScene();
    EXPECT_EQ(scene->isRunning(), 1);
}

} // namespace
