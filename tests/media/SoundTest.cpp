#include <gtest/gtest.h>

#include <vector>

#include "media/SoundResource.h"
#include "services/HostServices.h"
#include "support/FakeSounds.h"
#include "support/MemoryArchive.h"

namespace {

struct Owner final : public qx::IListener {
    std::int32_t handleEvent(qx::Event* event) override {
        sounds.push_back(static_cast<qx::SoundFinishedEvent*>(event)->sound);
        qx::destroyEvent(event);
        return 1;
    }
    std::vector<void*> sounds;
};

class SoundTest : public ::testing::Test {
protected:
    ~SoundTest() override { EXPECT_EQ(qx::liveModuleEvents(), 0); }
    qxhost::Host host;
    qxtest::FakeSoundSystem system{host};
    qxtest::MemoryArchive archive;
    qx::ResourceEntry* clicked = archive.addSound("clicked.wav", {{}, {22050}}, {9, 8, 7});
    Owner owner;
};

TEST_F(SoundTest, ResourcePreloadsFromItsEntryPlaysOnceAtATimeAndLogsDuplicateStops) {
    qx::SoundResource resource(clicked);
    qx::Sound* sound = resource.sound();
    EXPECT_EQ(resource.description.words[0], 22050u);
    EXPECT_EQ(system.voices[0]->data, (std::vector<std::uint8_t>{9, 8, 7}));
    EXPECT_EQ(archive.readersOpen(), 0) << "the stream is given back";

    EXPECT_EQ(sound->play(&owner), 42u);
    EXPECT_EQ(sound->play(&owner), 0u) << "a playing sound is not restarted";
    EXPECT_EQ(sound->references(), 2) << "one self-reference for the one playback";
    sound->stop();
    EXPECT_EQ(sound->playing(), 42u) << "only the finished message ends playback";
    host.drainEvents();
    EXPECT_EQ(owner.sounds, (std::vector<void*>{sound}));
    EXPECT_EQ(sound->references(), 1);
    EXPECT_EQ(sound->handleEvent(new qxtest::Finished), 1);
    EXPECT_TRUE(host.log().contains(1, "||||||||| duplicate stop message!\n"));
    EXPECT_EQ(sound->references(), 1);
    qxtest::OtherSoundMessage other;
    EXPECT_EQ(sound->handleEvent(&other), 1) << "neither deleted nor forwarded";
    EXPECT_EQ(sound->play(nullptr), 42u);
    sound->stop();
    host.drainEvents();
    EXPECT_EQ(owner.sounds.size(), 1u) << "without a listener the Sound deletes the message";
}

TEST_F(SoundTest, ReleasedWhilePlayingItStopsAndLivesUntilTheFinishedMessage) {
    auto* resource = new qx::SoundResource(clicked);
    resource->sound()->play(&owner);
    delete resource;
    EXPECT_EQ(system.voices[0]->stops, 1);
    EXPECT_EQ(system.destroyed, 0);
    EXPECT_NE(host.findInterface(nullptr, qx::kIListenerName), nullptr);
    host.drainEvents();
    EXPECT_EQ(owner.sounds.size(), 1u) << "passed on before the Sound goes";
    EXPECT_EQ(system.destroyed, 1);
    EXPECT_EQ(host.findInterface(nullptr, qx::kIListenerName), nullptr);
}

TEST_F(SoundTest, RefusedOrUnpreloadableSoundsDoNotPlay) {
    system.refusePlay = true;
    qx::SoundResource refused(clicked);
    EXPECT_EQ(refused.sound()->play(&owner), 0u);
    EXPECT_TRUE(host.log().contains(3, "sound won't play!\n"));
    EXPECT_EQ(refused.sound()->references(), 1) << "the self-reference is given back";

    host.log().clear();
    system.preloadable = false;
    qx::SoundResource silent(clicked);
    EXPECT_EQ(silent.sound()->play(&owner), 0u);
    EXPECT_TRUE(host.log().lines().empty());

    qx::SoundResource missing(nullptr);
    EXPECT_EQ(missing.sound()->play(nullptr), 0u);
}

} // namespace
