#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "MediaTestSupport.h"
#include "media/ChatterToLog.h"
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

// A sound of the given format preloaded with bytes of silence.
qxhost::HostSound* makeSound(qxhost::Host& host, qxhost::SoundSystem& system, std::uint32_t rate,
                             std::uint32_t channels, std::uint32_t bytes) {
    qx::SoundDescription d{{}, {rate, channels, 16, bytes, 0}};
    qx::InterfaceTable* table = system.create(&d);
    mediatest::BytesReader reader(host, Bytes(bytes, 0));
    EXPECT_EQ(system.soundOf(table)->preload(reader.read()), 1);
    return system.soundOf(table);
}

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
    // 16-bit mono at 8000 Hz: 16 bytes a millisecond.
    qxhost::HostSound* sound(std::uint32_t milliseconds) {
        return makeSound(host, *system, 8000, 1, milliseconds * 16);
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

TEST_F(Sounds, FinishedOrStopMessageArrivesOnceThroughTheLoop) {
    qxhost::HostSound* s = sound(100);
    auto* stoppable = static_cast<qx::ISound*>(s);
    ASSERT_NE(s->play(&listener, nullptr), 0u);
    EXPECT_EQ(s->play(&listener, nullptr), 0u); // not restarted while playing
    runFor(99);
    EXPECT_TRUE(listener.types.empty());
    runFor(1);
    EXPECT_EQ(listener.types, std::vector<std::uint32_t>{qx::kSoundFinished});

    // The frequency sets the playing time: twice the rate, half the length.
    s->setFrequency(16000);
    ASSERT_NE(s->play(&listener, nullptr), 0u);
    runFor(50);
    EXPECT_EQ(listener.types.size(), 2u);

    s->play(&listener, nullptr);
    EXPECT_EQ(stoppable->stop(), 1);
    EXPECT_EQ(listener.types.size(), 2u); // never from inside stop
    EXPECT_EQ(stoppable->stop(), 0);
    host.processEvents();
    EXPECT_EQ(listener.types.size(), 3u);
    runFor(500); // the natural end of the stopped playback says nothing
    EXPECT_EQ(listener.types.size(), 3u);

    // Destroyed after its stop: delivered. Unloaded while playing: stopped. Destroyed while
    // playing: silent.
    s->play(&listener, nullptr);
    stoppable->stop();
    system->destroy(s->table());
    qxhost::HostSound* other = sound(10);
    other->play(&listener, nullptr);
    other->unload();
    host.processEvents();
    EXPECT_EQ(listener.types.size(), 5u);
    system->destroy(other->table());
    s = sound(10);
    s->play(&listener, nullptr);
    system->destroy(s->table());
    runFor(100);
    EXPECT_EQ(listener.types.size(), 5u);
    EXPECT_EQ(system->liveSounds(), 0u);
}

TEST_F(Sounds, UnplayableSoundsAreRefused) {
    qx::SoundDescription d{{}, {44100, 5, 16, 0, 0}};
    EXPECT_EQ(system->create(&d), nullptr);
    EXPECT_TRUE(host.log().contains(
        qx::kLogError, "soundsystem: cannot play 44100 Hz, 5 channels, 16 bits per sample"));
    d.words[1] = 2;
    auto* preload =
        static_cast<qx::IPreloadSound*>(system->create(&d)->getInterface(qx::kIPreloadSoundName));
    EXPECT_EQ(preload->play(&listener, nullptr), 0u); // nothing preloaded
    EXPECT_EQ(preload->preload(nullptr), 0);
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
    mixer->stop(eight); // an ended voice
}

TEST(SoundDevice, StopMessageComesThroughTheLoopWithSdlAudio) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    qxhost::Host host;
    qxhost::SoundSystem system(host);
    if (std::string(system.backend()) != "sdl") {
        GTEST_SKIP() << "SDL's dummy audio driver did not open";
    }
    // Ten seconds: it cannot end by itself during the test.
    qxhost::HostSound* s = makeSound(host, system, 22050, 2, 22050 * 4 * 10);
    Recorder listener;
    ASSERT_NE(s->play(&listener, nullptr), 0u);
    EXPECT_EQ(system.output()->voices(), 1u);
    static_cast<qx::ISound*>(s)->stop();
    EXPECT_EQ(system.output()->voices(), 0u);
    EXPECT_TRUE(listener.types.empty());
    host.processEvents();
    EXPECT_EQ(listener.types, std::vector<std::uint32_t>{qx::kSoundFinished});
}

} // namespace

// What the audio libraries print on their own (ALSA's "cannot find card" lines on a machine
// without one) ends in the log at trace level, never on the terminal.
TEST(SoundDevice, LibraryChatterGoesToTheLogNotToStandardError) {
    std::FILE* terminal = std::tmpfile();
    ASSERT_NE(terminal, nullptr);
    std::fflush(stderr);
    const int saved = dup(2);
    dup2(fileno(terminal), 2);
    qxhost::Host host;
    {
        qxhost::ChatterToLog chatter(host);
        std::fputs("lib says: no card\n", stderr);
    }
    setenv("SDL_AUDIODRIVER", "alsa", 1);
    { qxhost::SoundSystem system(host); }
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    EXPECT_EQ(std::ftell(terminal), 0L) << "something reached standard error";
    std::fclose(terminal);
    EXPECT_TRUE(host.log().contains(qx::kLogTrace, "lib says: no card"));
}
