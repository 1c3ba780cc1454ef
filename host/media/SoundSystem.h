// The sound factory, object "soundsystem". Sounds play through SDL's audio when a device
// opens, otherwise silently for their length on the host clock (also when the setting
// "SoundBackend" is "silent"). Either way the end of a playback, natural or by stop, reaches
// the listener given to play as a finished message (0x50001) through the host's event loop.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media/AudioOutput.h"
#include "qx/sound.h"
#include "runtime/Host.h"

namespace qxhost {

class SoundSystem;

class HostSound final : public qx::ISound,
                        public qx::IPreloadSound,
                        public qx::ISoundVolume,
                        public qx::ISoundPanorama,
                        public qx::ISoundFrequency,
                        public qx::ISoundQueue {
public:
    HostSound(SoundSystem& system, PcmFormat format, std::uint32_t dataLength);
    HostSound(const HostSound&) = delete;
    HostSound& operator=(const HostSound&) = delete;
    ~HostSound();

    std::int32_t unused1() override { return 0; }
    std::int32_t unused2() override { return 0; }
    // 1 when a playback was stopped (its finished message follows), 0 when none ran.
    std::int32_t stop() override;

    std::int32_t preload(qx::IRead* stream) override;
    void unload() override;
    // Answers 0 without data or while already playing.
    qx::Handle play(qx::IListener* listener, qx::IReferenceCount* owner) override;

    void setVolume(std::int32_t volume) override;
    void setPanorama(std::int32_t panorama) override;
    void setFrequency(std::int32_t hertz) override;
    std::int32_t queued() override { return playing_ ? 1 : 0; }

    qx::InterfaceTable* table() { return &table_; }
    // Playing time of the preloaded data at the present frequency, rounded up.
    std::int32_t durationMilliseconds() const;
    std::uint32_t voice() const { return playing_ ? playing_->voice : 0; }
    // Ends the playback of that voice (the device has played it out).
    void voiceFinished(std::uint32_t voice);

private:
    struct Playback {
        HostSound* sound;
        qx::IListener* listener;
        std::uint32_t voice; // 0 when playing silently
    };
    void finish(const std::shared_ptr<Playback>& playback);
    void updateVoice();

    qx::InterfaceTable table_;
    SoundSystem& system_;
    PcmFormat format_;
    std::uint32_t dataLength_;
    std::shared_ptr<const std::vector<std::uint8_t>> samples_;
    VoiceControls controls_;
    std::shared_ptr<Playback> playing_;
    qx::Handle nextHandle_ = 1;
};

class SoundSystem final : public qx::ISoundFactory {
public:
    explicit SoundSystem(Host& host);
    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;
    ~SoundSystem();

    // A sound for the description's words (sample rate, channels, bits per sample, data
    // length); null with a log line when it cannot be played.
    qx::InterfaceTable* create(qx::SoundDescription* description) override;
    void destroy(qx::InterfaceTable* object) override;

    qx::InterfaceTable* table() { return &table_; }
    // "sdl" or "silent".
    const char* backend() const { return output_ ? "sdl" : "silent"; }
    // One line for the user: the SDL audio driver in use, or why sounds play silently.
    std::string description() const;
    std::size_t liveSounds() const { return sounds_.size(); }
    HostSound* soundOf(const qx::InterfaceTable* object) const;

    Host& host() { return host_; }
    AudioOutput* output() { return output_.get(); }
    // Makes sure the device's finished voices are collected during event processing.
    void watchVoices();

private:
    void collectFinishedVoices();

    qx::InterfaceTable table_;
    Host& host_;
    std::unique_ptr<AudioOutput> output_;
    std::string silentReason_; // why no device opened ("" when silence was asked for)
    std::vector<std::unique_ptr<HostSound>> sounds_;
    bool watching_ = false;
    // Timers hold this weakly, so one that comes due after the system is gone does nothing.
    std::shared_ptr<SoundSystem*> self_;
};

} // namespace qxhost
