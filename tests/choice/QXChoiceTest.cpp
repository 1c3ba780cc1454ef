#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "ChoiceFixture.h"
#include "choice/ChoiceScreen.h"
#include "choice/QXChoice.h"
#include "choice/controls/ImageButton.h"
#include "choice/controls/Porte.h"
#include "support/ModuleMessages.h"

namespace {

class Scene : public qxtest::ChoiceData {
protected:
    Scene() { host.clock().set(5000); }
    ~Scene() override {
        if (scene != nullptr) {
            scene->tearDown();
            scene->releaseReference();
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

    std::optional<qxtest::Producer> producer;
    qx::Handle words[24] = {};
    qx::QXChoice* scene = nullptr;
};

TEST_F(Scene, RoundButtonsCycleThroughThreeRounds) {
    data(3);
    doors(1, 9);
    start();
    EXPECT_EQ(shown(), "111100000");
    EXPECT_EQ(scene->roundButton(0)->origin(), qx::screen::kPreviousRoundButton);
    EXPECT_EQ(scene->roundButton(1)->origin(), qx::screen::kNextRoundButton);
    constexpr std::int32_t kNext = qx::screen::kNextRoundId;
    const std::tuple<std::int32_t, const char*, const char*> steps[] = {
        {kNext, "000011100", "QXChoice::Manche 2 selected\n"},
        {kNext, "000000011", "QXChoice::Manche 3 selected\n"},
        {kNext, "111100000", "QXChoice::Manche 1 selected\n"},
        {qx::screen::kPreviousRoundId, "000000011", "QXChoice::Manche 3 selected\n"}};
    for (auto [id, doorsShown, line] : steps) {
        host.log().clear();
        scene->buttonClicked(id);
        EXPECT_TRUE(host.log().contains(qx::kLogTrace, line)) << line;
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
        std::vector<qx::Handle>(words + qx::kFirstDoorWord + 1, words + qx::kFirstDoorWord + 10),
        (std::vector<qx::Handle>{0, 0, 0, 0, 0, 0, 0, 0, reinterpret_cast<qx::Handle>(item)}));
    host.clock().advance(qx::screen::kFadeMs - 1);
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

TEST_F(Scene, OneRoundWithBadDataShowsEveryDoorAndStoresTheDoorMapAsGiven) {
    data(1);
    archive.addText("porte01", "100");
    archive.addText("textcenter01", "120,160");
    doors(2, 12);
    archive.addText("portemap", "3,x,-2147483648,10,,0");
    start();
    // The odd values are no business of the module's log: only the lookups speak.
    EXPECT_EQ(qxtest::foreignLines(host.log()), "");
    for (const qxhost::LogLine& line : host.log().lines())
        EXPECT_EQ(line.level, qx::kLogTrace) << line.message;
    EXPECT_EQ(scene->roundButton(0), nullptr);
    EXPECT_EQ(shown(), "111111111");
    EXPECT_EQ(scene->door(0)->position, qx::Point(100, 0));
    EXPECT_EQ(scene->door(10)->position, qx::Point(660, 100));
    EXPECT_EQ(std::vector<std::int32_t>(scene->doorMap(), scene->doorMap() + 9),
              (std::vector<std::int32_t>{3, 0, INT32_MIN, 10, 0, 0, 7, 8, 9}));
    scene->buttonClicked(0);
    scene->update();
    scene->drawScene();
    EXPECT_EQ(scene->isRunning(), 1);
}

} // namespace
