#include "media/SoundSystem.h"

#include <algorithm>
#include <cstring>

#include "media/ChatterToLog.h"

namespace qxhost {

namespace {

class FinishedMessage final : public qx::SoundFinishedEvent {
public:
    explicit FinishedMessage(std::int32_t& live) : live_(live) { ++live_; }
    void* destroy(std::uint32_t flags) override {
        --live_;
        this->~FinishedMessage();
        if ((flags & 1u) != 0) {
            ::operator delete(static_cast<void*>(this));
        }
        return this;
    }

private:
    ~FinishedMessage() = default;
    std::int32_t& live_;
};

// How often the device's finished voices are looked for while any play.
constexpr std::int32_t kVoiceWatchInterval = 10;
constexpr std::uint32_t kLargestSound = 64 * 1024 * 1024;

} // namespace

HostSound::HostSound(SoundSystem& system, PcmFormat format, std::uint32_t dataLength)
    : system_(system), format_(format), dataLength_(dataLength) {
    table_.addInterface(qx::kISoundName, static_cast<qx::ISound*>(this));
    table_.addInterface(qx::kIPreloadSoundName, static_cast<qx::IPreloadSound*>(this));
    table_.addInterface(qx::kISoundVolumeName, static_cast<qx::ISoundVolume*>(this));
    table_.addInterface(qx::kISoundPanoramaName, static_cast<qx::ISoundPanorama*>(this));
    table_.addInterface(qx::kISoundFrequencyName, static_cast<qx::ISoundFrequency*>(this));
    table_.addInterface(qx::kISoundQueueName, static_cast<qx::ISoundQueue*>(this));
}

HostSound::~HostSound() {
    // Gone without a stop: nobody is left to tell, so only the device lets go.
    if (playing_ && playing_->voice != 0 && system_.output() != nullptr) {
        system_.output()->stop(playing_->voice);
    }
}

std::int32_t HostSound::stop() {
    if (!playing_) {
        return 0;
    }
    if (playing_->voice != 0 && system_.output() != nullptr) {
        system_.output()->stop(playing_->voice);
    }
    finish(playing_);
    return 1;
}

void HostSound::finish(const std::shared_ptr<Playback>& playback) {
    if (!playback || playing_ != playback) {
        return;
    }
    qx::IListener* listener = playback->listener;
    playing_.reset();
    system_.host().post(new FinishedMessage(system_.host().liveEventCounter()), listener);
}

void HostSound::voiceFinished(std::uint32_t voice) {
    if (playing_ && voice != 0 && playing_->voice == voice) {
        finish(playing_);
    }
}

std::int32_t HostSound::preload(qx::IRead* stream) {
    stop();
    unload();
    if (stream == nullptr) {
        return 0;
    }
    const std::uint32_t wanted = dataLength_ > 0 ? dataLength_ : kLargestSound;
    auto samples = std::make_shared<std::vector<std::uint8_t>>();
    std::uint8_t chunk[16384];
    while (samples->size() < wanted) {
        const auto ask = static_cast<std::int32_t>(
            std::min<std::size_t>(sizeof chunk, wanted - samples->size()));
        const std::int32_t count = stream->read(chunk, ask);
        if (count <= 0) {
            break;
        }
        samples->insert(samples->end(), chunk, chunk + std::min(count, ask));
    }
    if (dataLength_ > 0 && samples->size() < dataLength_) {
        system_.host().report(qx::kLogError, "soundsystem: sound data ends after %zu of %u bytes",
                              samples->size(), dataLength_);
    }
    samples->resize(samples->size() - samples->size() % format_.bytesPerFrame());
    if (samples->empty()) {
        return 0;
    }
    samples_ = std::move(samples);
    return 1;
}

void HostSound::unload() {
    stop();
    samples_.reset();
}

qx::Handle HostSound::play(qx::IListener* listener, qx::IReferenceCount*) {
    if (!samples_ || playing_) {
        return 0;
    }
    auto playback = std::make_shared<Playback>(Playback{this, listener, 0});
    if (AudioOutput* output = system_.output()) {
        playback->voice = output->start(samples_, format_, controls_);
        playing_ = playback;
        system_.watchVoices();
    } else {
        playing_ = playback;
        Host& host = system_.host();
        host.postAt(host.clock().now() + durationMilliseconds(),
                    [weak = std::weak_ptr<Playback>(playback)] {
                        if (auto alive = weak.lock()) {
                            alive->sound->finish(alive);
                        }
                    });
    }
    const qx::Handle handle = nextHandle_++;
    if (nextHandle_ == 0) {
        nextHandle_ = 1;
    }
    return handle;
}

std::int32_t HostSound::durationMilliseconds() const {
    if (!samples_) {
        return 0;
    }
    const std::int64_t frames =
        static_cast<std::int64_t>(samples_->size()) / format_.bytesPerFrame();
    const std::int64_t rate = controls_.frequency > 0 ? controls_.frequency : format_.sampleRate;
    return static_cast<std::int32_t>((frames * 1000 + rate - 1) / rate);
}

void HostSound::updateVoice() {
    if (playing_ && playing_->voice != 0 && system_.output() != nullptr) {
        system_.output()->control(playing_->voice, controls_);
    }
}

void HostSound::setVolume(std::int32_t volume) {
    controls_.volume = std::clamp(volume, 0, 255);
    updateVoice();
}

void HostSound::setPanorama(std::int32_t panorama) {
    controls_.panorama = std::clamp(panorama, -128, 127);
    updateVoice();
}

void HostSound::setFrequency(std::int32_t hertz) {
    controls_.frequency = std::clamp(hertz, 0, 384000);
    updateVoice();
}

SoundSystem::SoundSystem(Host& host)
    : table_("soundsystem"), host_(host), self_(std::make_shared<SoundSystem*>(this)) {
    table_.addInterface(qx::kISoundFactoryName, static_cast<qx::ISoundFactory*>(this));
    const char* wanted = host.setting("SoundBackend");
    if (wanted != nullptr && std::strcmp(wanted, "silent") == 0) {
        return;
    }
    {
        ChatterToLog chatter(host);
        output_ = AudioOutput::open(silentReason_);
    }
    if (!output_) {
        host.report(qx::kLogTrace, "soundsystem: no audio device (%s); sounds play silently",
                    silentReason_.c_str());
    }
}

SoundSystem::~SoundSystem() {
    sounds_.clear();
    if (output_) {
        ChatterToLog chatter(host_);
        output_.reset();
    }
}

std::string SoundSystem::description() const {
    if (output_) {
        const char* driver = SDL_GetCurrentAudioDriver();
        return std::string("SDL audio, ") + (driver != nullptr ? driver : "unknown driver");
    }
    return silentReason_.empty() ? "silent" : "silent, no audio device: " + silentReason_;
}

qx::InterfaceTable* SoundSystem::create(qx::SoundDescription* description) {
    if (description == nullptr) {
        return nullptr;
    }
    PcmFormat format;
    format.sampleRate = static_cast<std::int32_t>(description->words[0]);
    format.channels = static_cast<std::int32_t>(description->words[1]);
    format.bitsPerSample = static_cast<std::int32_t>(description->words[2]);
    if (format.sampleRate <= 0 || format.sampleRate > 384000 ||
        (format.channels != 1 && format.channels != 2) ||
        (format.bitsPerSample != 8 && format.bitsPerSample != 16)) {
        host_.report(qx::kLogError,
                     "soundsystem: cannot play %u Hz, %u channels, %u bits per sample",
                     description->words[0], description->words[1], description->words[2]);
        return nullptr;
    }
    sounds_.push_back(std::make_unique<HostSound>(*this, format, description->words[3]));
    return sounds_.back()->table();
}

void SoundSystem::destroy(qx::InterfaceTable* object) {
    auto found = std::find_if(sounds_.begin(), sounds_.end(),
                              [object](const auto& s) { return s->table() == object; });
    if (found != sounds_.end()) {
        sounds_.erase(found);
    }
}

HostSound* SoundSystem::soundOf(const qx::InterfaceTable* object) const {
    for (const auto& sound : sounds_) {
        if (sound->table() == object) {
            return sound.get();
        }
    }
    return nullptr;
}

void SoundSystem::watchVoices() {
    if (watching_ || !output_) {
        return;
    }
    watching_ = true;
    host_.postAt(host_.clock().now() + kVoiceWatchInterval,
                 [weak = std::weak_ptr<SoundSystem*>(self_)] {
                     if (auto alive = weak.lock()) {
                         (*alive)->collectFinishedVoices();
                     }
                 });
}

void SoundSystem::collectFinishedVoices() {
    watching_ = false;
    if (!output_) {
        return;
    }
    for (std::uint32_t voice : output_->takeFinished()) {
        for (const auto& sound : sounds_) {
            sound->voiceFinished(voice);
        }
    }
    if (output_->voices() > 0) {
        watchVoices();
    }
}

} // namespace qxhost
