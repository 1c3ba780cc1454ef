#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "core/EventObject.h"
#include "media/Sound.h"
#include "media/SoundResource.h"
#include "module/HostServices.h"
#include "runtime/Host.h"
#include "support/MemoryArchive.h"

namespace {

class Finished final : public qx::EventObject<Finished, qx::SoundFinishedEvent> {};

class Other final : public qx::EventObject<Other> {
public:
    Other() : EventObject(0x50002u, "Sound::other") {}
};

// A sound system that plays until told to finish; the finished message goes through the
// host's event loop, also after stop.
class FakeSoundSystem final : public qx::ISoundFactory {
public:
    struct Voice final : public qx::ISound, public qx::IPreloadSound {
        Voice(FakeSoundSystem& system, bool preloadable) : owner(system) {
            table.addInterface("ISound", static_cast<qx::ISound*>(this));
            if (preloadable) {
                table.addInterface("IPreloadSound", static_cast<qx::IPreloadSound*>(this));
            }
        }
        std::int32_t unused1() override { return 0; }
        std::int32_t unused2() override { return 0; }
        std::int32_t stop() override {
            ++stops;
            owner.finish(*this);
            return 1;
        }
        std::int32_t preload(qx::IRead* stream) override {
            data.resize(16);
            data.resize(stream != nullptr ? static_cast<std::size_t>(stream->read(data.data(), 16))
                                          : 0);
            return stream != nullptr ? 1 : 0;
        }
        void unload() override { ++unloads; }
        qx::Handle play(qx::IListener* to, qx::IReferenceCount*) override {
            listener = to;
            ++plays;
            return owner.refusePlay ? 0 : 42;
        }
        FakeSoundSystem& owner;
        qx::InterfaceTable table;
        qx::IListener* listener = nullptr;
        std::vector<std::uint8_t> data;
        int stops = 0;
        int unloads = 0;
        int plays = 0;
    };

    FakeSoundSystem(qxhost::Host& h) : host(h), table("soundsystem") {
        table.addInterface("ISoundFactory", static_cast<qx::ISoundFactory*>(this));
    }
    qx::InterfaceTable* create(qx::SoundDescription* description) override {
        requested.push_back(description);
        if (failCreate) {
            return nullptr;
        }
        voices.push_back(std::make_unique<Voice>(*this, preloadable));
        return &voices.back()->table;
    }
    void destroy(qx::InterfaceTable*) override { ++destroyed; }

    void finish(Voice& voice) { host.post(new Finished, voice.listener); }

    qxhost::Host& host;
    qx::InterfaceTable table;
    std::vector<std::unique_ptr<Voice>> voices;
    std::vector<qx::SoundDescription*> requested;
    bool preloadable = true;
    bool refusePlay = false;
    bool failCreate = false;
    int destroyed = 0;
};

// Records what reaches the owner when playback ends.
struct Owner final : public qx::IListener {
    std::int32_t handleEvent(qx::Event* event) override {
        types.push_back(event->type);
        sounds.push_back(static_cast<qx::SoundFinishedEvent*>(event)->sound);
        qx::destroyEvent(event);
        return 1;
    }
    std::vector<std::uint32_t> types;
    std::vector<void*> sounds;
};

class SoundTest : public ::testing::Test {
protected:
    SoundTest() { description.resource.type = qx::atomOf("sound"); }
    ~SoundTest() override { EXPECT_EQ(qx::liveModuleEvents(), 0); }

    // A sound preloaded from nothing, as an owner holds it.
    qx::Sound* preloadedSound() {
        auto* sound = new qx::Sound(&description);
        sound->preload(nullptr);
        return sound;
    }
    // The voice preloaded with data so that it counts as preloaded.
    qx::Sound* playableSound() {
        std::uint8_t bytes[4] = {1, 2, 3, 4};
        struct Bytes final : qx::IRead {
            explicit Bytes(std::uint8_t* b) : data(b) {}
            std::int32_t read(void* buffer, std::int32_t size) override {
                std::memcpy(buffer, data, static_cast<std::size_t>(size < 4 ? size : 4));
                return size < 4 ? size : 4;
            }
            std::uint8_t* data;
        } reader(bytes);
        auto* sound = new qx::Sound(&description);
        EXPECT_EQ(sound->preload(&reader), 1);
        return sound;
    }

    int listenersRegistered() {
        int n = 0;
        for (const qx::RegistryEntry* e : host.entries()) {
            n += qx::namesEqual(e->interfaceName, "IListener") ? 1 : 0;
        }
        return n;
    }

    qxhost::Host host;
    FakeSoundSystem system{host};
    qx::SoundDescription description{};
};

TEST_F(SoundTest, PlayingTwiceDoesNotRestartOrTakeASecondReference) {
    qx::Sound* sound = playableSound();
    Owner owner;
    EXPECT_EQ(sound->play(&owner), 42u);
    EXPECT_EQ(sound->references(), 2);
    EXPECT_EQ(sound->play(&owner), 0u);
    EXPECT_EQ(sound->references(), 2);
    EXPECT_EQ(system.voices[0]->plays, 1);

    sound->stop();
    EXPECT_EQ(sound->playing(), 42u) << "only the finished message ends playback";
    host.drainEvents();
    EXPECT_EQ(sound->playing(), 0u);
    EXPECT_EQ(sound->references(), 1);
    ASSERT_EQ(owner.types.size(), 1u);
    EXPECT_EQ(owner.types[0], qx::kSoundFinished);
    EXPECT_EQ(owner.sounds[0], sound);
    EXPECT_EQ(sound->play(&owner), 42u) << "after the finished message it plays again";
    sound->releaseReference();
    host.drainEvents();
    EXPECT_EQ(system.destroyed, 1);
}

TEST_F(SoundTest, WithoutListenerTheFinishedMessageIsDeletedBySound) {
    qx::Sound* sound = playableSound();
    EXPECT_NE(sound->play(nullptr), 0u);
    sound->stop();
    host.drainEvents();
    EXPECT_EQ(sound->playing(), 0u);
    sound->releaseReference();
    EXPECT_EQ(system.destroyed, 1);
}

TEST_F(SoundTest, ReleasedWhilePlayingItStopsAndLivesUntilTheFinishedMessage) {
    qx::Sound* sound = playableSound();
    Owner owner;
    sound->play(&owner);
    sound->releaseReference();
    EXPECT_EQ(system.voices[0]->stops, 1);
    EXPECT_EQ(system.destroyed, 0) << "the playing sound holds itself";
    EXPECT_EQ(listenersRegistered(), 1);
    host.drainEvents();
    EXPECT_EQ(owner.sounds.size(), 1u) << "the message is passed on before the sound goes";
    EXPECT_EQ(system.destroyed, 1);
    EXPECT_EQ(system.voices[0]->unloads, 1);
    EXPECT_EQ(listenersRegistered(), 0) << "its registry entries go with it";
}

TEST_F(SoundTest, DuplicateFinishedMessagesAreLoggedAndOtherMessagesLeftAlone) {
    qx::Sound* sound = playableSound();
    sound->play(nullptr);
    EXPECT_EQ(sound->handleEvent(new Finished), 1);
    EXPECT_EQ(sound->handleEvent(new Finished), 1);
    EXPECT_TRUE(host.log().contains(1, "||||||||| duplicate stop message!\n"));
    EXPECT_EQ(sound->references(), 1) << "the duplicate gives back nothing";

    Other* other = new Other;
    EXPECT_EQ(sound->handleEvent(other), 1);
    EXPECT_EQ(qx::liveModuleEvents(), 1) << "neither deleted nor forwarded";
    qx::destroyEvent(other);
    sound->releaseReference();
}

TEST_F(SoundTest, RefusedPlaybackIsLoggedAndGivesItsReferenceBack) {
    qx::Sound* sound = playableSound();
    system.refusePlay = true;
    EXPECT_EQ(sound->play(nullptr), 0u);
    EXPECT_TRUE(host.log().contains(3, "sound won't play!\n"));
    EXPECT_EQ(sound->references(), 1);
    sound->releaseReference();
    EXPECT_EQ(system.destroyed, 1);
}

TEST_F(SoundTest, UnpreloadedOrUnpreloadableSoundsNeverPlay) {
    qx::Sound* notLoaded = preloadedSound();
    EXPECT_EQ(notLoaded->preloaded(), 0) << "a null stream preloads nothing";
    EXPECT_EQ(notLoaded->play(nullptr), 0u);
    EXPECT_TRUE(host.log().lines().empty()) << "a sound never preloaded fails silently";
    notLoaded->releaseReference();

    system.preloadable = false;
    qx::Sound* silent = new qx::Sound(&description);
    EXPECT_EQ(silent->preloadSound, nullptr);
    EXPECT_EQ(silent->preload(nullptr), 0);
    EXPECT_EQ(silent->play(nullptr), 0u);
    EXPECT_EQ(silent->stop(), 0);
    silent->releaseReference();
}

TEST_F(SoundTest, ConstructionFailuresAreLogged) {
    system.failCreate = true;
    qx::Sound* refused = new qx::Sound(&description);
    EXPECT_TRUE(host.log().contains(3, "Sound: SoundFactory is unable to create sound."));
    EXPECT_EQ(system.requested.at(0), &description) << "the factory gets the caller's record";
    EXPECT_EQ(refused->play(nullptr), 0u);
    refused->releaseReference();
    EXPECT_EQ(system.destroyed, 0);

    system.table.teardown();
    qx::Sound* lonely = new qx::Sound(&description);
    EXPECT_TRUE(host.log().contains(3, "Sound: No SoundFactory found."));
    EXPECT_EQ(lonely->preload(nullptr), 0);
    lonely->releaseReference();
}

TEST_F(SoundTest, ResourceMakesAPreloadedSoundFromItsEntry) {
    qxtest::MemoryArchive archive;
    qx::SoundDescription record{};
    record.resource.type = qx::atomOf("sound");
    record.words[0] = 22050;
    archive.addSound("clicked.wav", record, {9, 8, 7});
    qx::ResourceEntry* entry = archive.entry("clicked.wav");
    Owner owner;
    {
        qx::SoundResource resource(entry);
        EXPECT_EQ(resource.description.words[0], 22050u);
        EXPECT_EQ(system.requested.at(0), resource.resourceDescription);
        EXPECT_EQ(system.voices[0]->data, (std::vector<std::uint8_t>{9, 8, 7}));
        EXPECT_EQ(archive.readersOpen(), 0) << "the stream is given back";
        EXPECT_EQ(resource.sound()->preloaded(), 1);
        resource.sound()->play(&owner);
    }
    EXPECT_EQ(system.destroyed, 0) << "a playing sound outlives its resource";
    host.drainEvents();
    EXPECT_EQ(system.destroyed, 1);

    qx::SoundResource missing(nullptr);
    EXPECT_EQ(missing.sound()->play(nullptr), 0u);
}

} // namespace
