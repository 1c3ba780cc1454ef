#include "media/AudioOutput.h"

#include <algorithm>
#include <cstring>

namespace qxhost {

namespace {

constexpr std::int32_t kOutputRate = 44100;

class DeviceLock {
public:
    explicit DeviceLock(SDL_AudioDeviceID device) : device_(device) {
        if (device_ != 0) {
            SDL_LockAudioDevice(device_);
        }
    }
    ~DeviceLock() {
        if (device_ != 0) {
            SDL_UnlockAudioDevice(device_);
        }
    }
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

private:
    SDL_AudioDeviceID device_;
};

std::int32_t sampleAt(const std::uint8_t* frame, std::int32_t bits, std::int32_t channel) {
    if (bits == 8) {
        return (std::int32_t{frame[channel]} - 128) * 256;
    }
    const std::uint8_t* p = frame + channel * 2;
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

} // namespace

std::unique_ptr<AudioOutput> AudioOutput::open(std::string& error) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = SDL_GetError();
        return nullptr;
    }
    std::unique_ptr<AudioOutput> output(new AudioOutput(0, kOutputRate));
    SDL_AudioSpec wanted{};
    wanted.freq = kOutputRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = 1024;
    wanted.callback = &AudioOutput::callback;
    wanted.userdata = output.get();
    SDL_AudioSpec obtained{};
    // SDL converts to whatever the device wants, so the mixer always sees this format.
    output->device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (output->device_ == 0) {
        error = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    SDL_PauseAudioDevice(output->device_, 0);
    return output;
}

std::unique_ptr<AudioOutput> AudioOutput::withoutDevice(std::int32_t rate) {
    return std::unique_ptr<AudioOutput>(new AudioOutput(0, rate > 0 ? rate : kOutputRate));
}

AudioOutput::AudioOutput(SDL_AudioDeviceID device, std::int32_t rate)
    : device_(device), rate_(rate) {}

AudioOutput::~AudioOutput() {
    if (device_ != 0) {
        SDL_CloseAudioDevice(device_);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

void SDLCALL AudioOutput::callback(void* self, Uint8* stream, int length) {
    static_cast<AudioOutput*>(self)->mix(reinterpret_cast<std::int16_t*>(stream), length / 4);
}

std::uint32_t AudioOutput::start(std::shared_ptr<const std::vector<std::uint8_t>> samples,
                                 PcmFormat format, VoiceControls controls) {
    DeviceLock lock(device_);
    const std::uint32_t id = nextId_++;
    if (nextId_ == 0) {
        nextId_ = 1;
    }
    voices_.push_back({id, std::move(samples), format, controls, 0.0, false});
    return id;
}

void AudioOutput::stop(std::uint32_t voice) {
    DeviceLock lock(device_);
    std::erase_if(voices_, [voice](const Voice& v) { return v.id == voice; });
}

void AudioOutput::control(std::uint32_t voice, VoiceControls controls) {
    DeviceLock lock(device_);
    for (Voice& v : voices_) {
        if (v.id == voice) {
            v.controls = controls;
        }
    }
}

std::vector<std::uint32_t> AudioOutput::takeFinished() {
    DeviceLock lock(device_);
    std::vector<std::uint32_t> finished;
    for (const Voice& v : voices_) {
        if (v.finished) {
            finished.push_back(v.id);
        }
    }
    std::erase_if(voices_, [](const Voice& v) { return v.finished; });
    return finished;
}

std::size_t AudioOutput::voices() {
    DeviceLock lock(device_);
    return voices_.size();
}

void AudioOutput::mix(std::int16_t* out, std::int32_t frames) {
    // Grown once to the device's block size, so the audio thread does not allocate later.
    std::vector<std::int32_t>& sum = scratch_;
    sum.assign(static_cast<std::size_t>(frames) * 2, 0);
    for (Voice& voice : voices_) {
        const std::int32_t frameBytes = voice.format.bytesPerFrame();
        if (frameBytes <= 0) {
            voice.finished = true;
            continue;
        }
        const auto total = static_cast<std::int64_t>(voice.samples->size() / frameBytes);
        const std::int32_t rate =
            voice.controls.frequency > 0 ? voice.controls.frequency : voice.format.sampleRate;
        const double step = static_cast<double>(rate) / rate_;
        const std::int32_t pan = std::clamp(voice.controls.panorama, -128, 127);
        const std::int32_t volume = std::clamp(voice.controls.volume, 0, 255);
        const std::int32_t leftGain = volume * (pan > 0 ? 127 - pan : 127) / 127;
        const std::int32_t rightGain = volume * (pan < 0 ? 128 + pan : 128) / 128;
        for (std::int32_t i = 0; i < frames && !voice.finished; ++i) {
            const auto index = static_cast<std::int64_t>(voice.position);
            if (index >= total) {
                voice.finished = true;
                break;
            }
            const std::uint8_t* frame = voice.samples->data() + index * frameBytes;
            const std::int32_t left = sampleAt(frame, voice.format.bitsPerSample, 0);
            const std::int32_t right =
                voice.format.channels == 2 ? sampleAt(frame, voice.format.bitsPerSample, 1) : left;
            sum[static_cast<std::size_t>(i) * 2] += left * leftGain / 255;
            sum[static_cast<std::size_t>(i) * 2 + 1] += right * rightGain / 255;
            voice.position += step;
        }
        if (static_cast<std::int64_t>(voice.position) >= total) {
            voice.finished = true;
        }
    }
    for (std::size_t i = 0; i < sum.size(); ++i) {
        out[i] = static_cast<std::int16_t>(std::clamp(sum[i], -32768, 32767));
    }
}

} // namespace qxhost
