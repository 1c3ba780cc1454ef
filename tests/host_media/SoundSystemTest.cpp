#include <gtest/gtest.h>

#include <cstdlib>

#include "media/MemoryReader.h"
#include "media/SoundSystem.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Keeps the types of the messages it is given, and destroys them as a receiver must.
struct Recorder : qx::IListener {
    std::int32_t handleEvent(qx::Event* event) override {
        types.push_back(event->type);
        event->destroy(1);
        return 1;
    }
    std::vector<std::uint32_t> types;
};

class Sounds : public ::testing::Test {
protected:
    Sounds() {
        host.setSetting("SoundBackend", "silent");
        host.clock().set(1000);
        system = std::make_unique<qxhost::SoundSystem>(host);
    }
    ~Sounds() override {
        system.reset();
        EXPECT_EQ(host.liveEvents(), 0);
    }
    // A preloaded sound of 16-bit mono samples lasting the given milliseconds at 8000 Hz.
    qxhost::HostSound* sound(std::int32_t milliseconds) {
        qx::SoundDescription d{};
        d.words[0] = 8000;
        d.words[1] = 1;
        d.words[2] = 16;
        d.words[3] = static_cast<std::uint32_t>(milliseconds * 16);
        qx::InterfaceTable* table = system->create(&d);
        const Bytes pcm(d.words[3], 0x11);
        qxhost::MemoryReader reader(pcm.data(), static_cast<std::int32_t>(pcm.size()));
        auto* preload = static_cast<qx::IPreloadSound*>(table->getInterface("IPreloadSound"));
        EXPECT_EQ(preload->preload(&reader), 1);
        return system->soundOf(table);
    }
    void runFor(std::int32_t milliseconds) {
        host.clock().advance(milliseconds);
        host.processEvents();
        host.drainEvents();
    }

    qxhost::Host host;
    std::unique_ptr<qxhost::SoundSystem> system;
    Recorder listener;
};

TEST_F(Sounds, FinishedMessageArrivesThroughTheLoopAfterTheSoundsLength) {
    EXPECT_STREQ(system->backend(), "silent");
    qxhost::HostSound* s = sound(100);
    ASSERT_NE(s->play(&listener, nullptr), 0u);
    EXPECT_EQ(s->queued(), 1);
    EXPECT_EQ(s->play(&listener, nullptr), 0u); // not restarted while playing
    runFor(99);
    EXPECT_TRUE(listener.types.empty());
    runFor(1);
    EXPECT_EQ(listener.types, std::vector<std::uint32_t>{qx::kSoundFinished});
    EXPECT_FALSE(s->isPlaying());
    runFor(1000);
    EXPECT_EQ(listener.types.size(), 1u);

    // The frequency sets the playing time: twice the rate, half the length.
    s->setFrequency(16000);
    ASSERT_NE(s->play(&listener, nullptr), 0u);
    runFor(50);
    EXPECT_EQ(listener.types.size(), 2u);
}

TEST_F(Sounds, StopSendsOneMessageThroughTheLoop) {
    qxhost::HostSound* s = sound(100);
    s->play(&listener, nullptr);
    EXPECT_EQ(static_cast<qx::ISound*>(s)->stop(), 1);
    EXPECT_TRUE(listener.types.empty()); // never from inside stop
    EXPECT_EQ(static_cast<qx::ISound*>(s)->stop(), 0);
    host.processEvents();
    EXPECT_EQ(listener.types.size(), 1u);
    runFor(500); // the natural end of the stopped playback says nothing
    EXPECT_EQ(listener.types.size(), 1u);

    // A sound destroyed after its stop still has its message delivered.
    s->play(&listener, nullptr);
    static_cast<qx::ISound*>(s)->stop();
    system->destroy(s->table());
    host.processEvents();
    EXPECT_EQ(listener.types.size(), 2u);

    // Destroyed while playing without a stop: nothing is delivered later.
    qxhost::HostSound* other = sound(10);
    other->play(&listener, nullptr);
    system->destroy(other->table());
    runFor(100);
    EXPECT_EQ(listener.types.size(), 2u);
    EXPECT_EQ(system->liveSounds(), 0u);
}

TEST_F(Sounds, UnplayableSoundsAreRefused) {
    qx::SoundDescription d{};
    d.words[0] = 44100;
    d.words[1] = 5;
    d.words[2] = 16;
    EXPECT_EQ(system->create(&d), nullptr);
    EXPECT_TRUE(host.log().contains(
        qx::kLogError, "soundsystem: cannot play 44100 Hz, 5 channels, 16 bits per sample"));
    d.words[1] = 2;
    qx::InterfaceTable* table = system->create(&d);
    auto* preload = static_cast<qx::IPreloadSound*>(table->getInterface("IPreloadSound"));
    EXPECT_EQ(preload->play(&listener, nullptr), 0u); // nothing preloaded
    EXPECT_EQ(preload->preload(nullptr), 0);
    qxhost::HostSound* s = sound(20);
    s->play(&listener, nullptr);
    s->unload(); // unloading a playing sound stops it
    host.processEvents();
    EXPECT_EQ(listener.types.size(), 1u);
}

TEST(SoundMixer, VolumePanoramaAndSampleFormats) {
    auto mixer = qxhost::AudioOutput::withoutDevice(8000);
    auto samples16 = std::make_shared<const Bytes>(Bytes{0x00, 0x40, 0x00, 0x40}); // 16384
    mixer->start(samples16, {8000, 1, 16}, {255, -128, 0});
    auto samples8 = std::make_shared<const Bytes>(Bytes{255, 0}); // stereo frame
    const std::uint32_t eight = mixer->start(samples8, {8000, 2, 8}, {128, 0, 0});
    std::int16_t out[6];
    mixer->mix(out, 3);
    EXPECT_EQ(out[0], 16384 + 127 * 256 * 128 / 255); // left: full 16-bit, half 8-bit
    EXPECT_EQ(out[1], -128 * 256 * 128 / 255);        // right: panned-away 16-bit is silent
    EXPECT_EQ(out[2], 16384);
    EXPECT_EQ(out[4], 0); // both voices have ended
    EXPECT_EQ(mixer->takeFinished().size(), 2u);
    EXPECT_EQ(mixer->voices(), 0u);
    mixer->stop(eight);
}

TEST(SoundDevice, StopMessageComesThroughTheLoopWithSdlAudio) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    qxhost::Host host;
    qxhost::SoundSystem system(host);
    if (std::string(system.backend()) != "sdl") {
        GTEST_SKIP() << "SDL's dummy audio driver did not open";
    }
    qx::SoundDescription d{};
    d.words[0] = 22050;
    d.words[1] = 2;
    d.words[2] = 16;
    d.words[3] = 22050 * 4 * 10; // ten seconds: it cannot end by itself during the test
    qx::InterfaceTable* table = system.create(&d);
    const Bytes pcm(d.words[3], 0);
    qxhost::MemoryReader reader(pcm.data(), static_cast<std::int32_t>(pcm.size()));
    qxhost::HostSound* s = system.soundOf(table);
    ASSERT_EQ(s->preload(&reader), 1);
    Recorder listener;
    ASSERT_NE(s->play(&listener, nullptr), 0u);
    EXPECT_NE(s->voice(), 0u);
    EXPECT_EQ(system.output()->voices(), 1u);
    static_cast<qx::ISound*>(s)->stop();
    EXPECT_EQ(system.output()->voices(), 0u);
    EXPECT_TRUE(listener.types.empty());
    host.processEvents();
    EXPECT_EQ(listener.types, std::vector<std::uint32_t>{qx::kSoundFinished});
}

} // namespace
