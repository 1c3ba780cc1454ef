// Every allocation the module makes may fail: a whole scene, from init to release, is played
// once for each of its allocations with that one refused. Nothing may throw, crash, leak
// (the sanitizers look at each run), or leave a registry entry or an event behind.
#include <algorithm>
#include <cstdint>
#include <exception>
#include <tuple>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "ChoiceFixture.h"
#include "core/Memory.h"
#include "module/Exports.h"
#include "support/FakeSounds.h"

namespace {

std::uint64_t refused = 0; // the allocation to refuse, from 1; 0 refuses none
std::uint64_t counted = 0;
bool refuseVital = false;
bool reached = false; // the run came to the allocation to refuse

bool judge(std::uint64_t number, bool vital) {
    counted = number;
    // A vital allocation that fails ends the process, so the sweep lets those through.
    reached = reached || number == refused;
    return vital ? refuseVital : number == refused;
}

// The host and the data of one run: three rounds, nine doors, sounds and three topics.
// (A gtest fixture built by hand, so that every run starts from a fresh host.)
struct World final : qxtest::ChoiceData {
    using VisualTest::host;

    World() {
        host.clock().set(1000);
        data(3);
        picture("cursor.png/image", 4, 2, 16, qxtest::kScreenFormat, {0, 7, 7, 0, 7, 0, 0, 7});
        doors(1, 9);
        archive.addText("showframes", "1");
        archive.addText("portemap", "9,8,7,6,5,4,3,2,1");
        for (const char* sound : {"clicked.wav/sound", "selected.wav/sound", "deleted.wav/sound"})
            archive.addSound(sound, {{}, {22050}}, {9, 8, 7});
        for (const char* title : {"abcd", "efgh", "ijkl"})
            producer.add(title);
        producer.add("skipped", "xx");
        // Every directory opened now belongs to the tree, not to the run.
        top.root()->findEntry(nullptr, "nothing", nullptr);
    }
    void TestBody() override {}

    // Registry entries, but for those of the sound system's voices, which it keeps.
    std::size_t entries() {
        std::size_t count = 0;
        for (const qx::RegistryEntry* entry : host.entries()) {
            count += std::none_of(sounds.voices.begin(), sounds.voices.end(),
                                  [entry](const auto& v) { return entry->table == &v->table; });
        }
        return count;
    }

    void frames(int count) {
        for (int i = 0; i < count; ++i) {
            host.clock().advance(100);
            host.processEvents();
            scene->update();
            scene->drawScene();
        }
    }
    void pointer(std::uint32_t kind, std::int32_t x, std::int32_t y) {
        scene->handleEvent(host.makePointerEvent(kind, x, y));
    }
    void click(std::int32_t x, std::int32_t y) {
        pointer(qx::kHostPointerMoved, x, y);
        pointer(qx::kHostPointerPressed, x, y);
        pointer(qx::kHostPointerReleased, x, y);
    }
    void drag(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
        pointer(qx::kHostPointerMoved, x1, y1);
        pointer(qx::kHostPointerPressed, x1, y1);
        pointer(qx::kHostPointerMoved, x2, y2);
        pointer(qx::kHostPointerReleased, x2, y2);
    }

    // init, a scene's set-up, a drop, a take-out and give-back, the arrows, the rounds, play
    // and the closing fade, tear-down, destroyScene and release.
    void play() {
        const char* arguments[4] = {"one", nullptr, "three", nullptr};
        qx::InterfaceTable* table = init(&host, arguments);
        auto* factory =
            table != nullptr
                ? static_cast<qx::IQXSceneFactory*>(table->getInterface(qx::kIQXSceneFactoryName))
                : nullptr;
        qx::InterfaceTable* sceneTable = factory != nullptr ? factory->createScene() : nullptr;
        scene = sceneTable != nullptr
                    ? static_cast<qx::IQXScene*>(sceneTable->getInterface(qx::kIQXSceneName))
                    : nullptr;
        if (scene != nullptr) {
            scene->setUp(&canvas, top.root(), words);
            drag(35, 425, 75, 120);
            frames(8);
            drag(70, 155, 300, 300);
            frames(8);
            click(620, 440);
            click(10, 440);
            click(560, 210);
            click(40, 210);
            frames(2);
            click(5, 5);
            frames(5);
            scene->tearDown();
            factory->destroyScene(sceneTable);
        }
        release();
        host.drainEvents();
    }

    qxtest::FakeSoundSystem sounds{host};
    qxtest::Producer producer;
    qx::Handle words[24] = {};
    qx::IQXScene* scene = nullptr;
};

// One run with the given allocation refused; answers how many allocations the run made.
std::uint64_t playRefusing(std::uint64_t number) {
    World world;
    const std::size_t entries = world.entries();
    refused = number;
    reached = false;
    qx::judgeAllocations(judge);
    try {
        world.play();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "allocation " << number << ": " << e.what();
    } catch (...) {
        ADD_FAILURE() << "allocation " << number << ": an exception left the module";
    }
    qx::judgeAllocations(nullptr);
    EXPECT_EQ(reached, number != 0) << "allocation " << number;
    EXPECT_EQ(world.entries(), entries) << "allocation " << number;
    EXPECT_EQ(qx::liveModuleEvents() + world.host.liveEvents(), 0) << "allocation " << number;
    return counted;
}

TEST(AllocationSweep, EveryRefusedAllocationEndsInANullResult) {
    const std::uint64_t total = playRefusing(0);
    ASSERT_GT(total, 1000u) << "the session should exercise the whole scene";
    for (std::uint64_t n = 1; n <= total && !HasFailure(); ++n) {
        playRefusing(n);
#if defined(__SANITIZE_ADDRESS__)
        if (n % 100 == 0) {
            ASSERT_EQ(__lsan_do_recoverable_leak_check(), 0) << "allocation " << n << " leaks";
        }
#endif
    }
}

TEST(AllocationSweepDeathTest, ARefusedRunOfTheCursorEndsTheProcessWithStatusZero) {
    refuseVital = true;
    EXPECT_EXIT(playRefusing(0), ::testing::ExitedWithCode(0), "");
    refuseVital = false;
}

} // namespace
