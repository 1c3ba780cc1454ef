// The SDL audio device and the voices it mixes. The device's callback runs on SDL's audio
// thread; everything else here runs on the host's thread and takes the device lock while
// it touches the voices. Voices that have played out are only marked there: the host's
// thread collects them with takeFinished.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qxhost {

struct PcmFormat {
    std::int32_t sampleRate = 0;
    std::int32_t channels = 0;
    std::int32_t bitsPerSample = 0;
    std::int32_t bytesPerFrame() const { return channels * bitsPerSample / 8; }
};

struct VoiceControls {
    std::int32_t volume = 255;  // 0 to 255
    std::int32_t panorama = 0;  // -128 left to 127 right
    std::int32_t frequency = 0; // playback rate in Hz; 0: the sound's own
};

class AudioOutput {
public:
    // The default device, or null with the reason in error.
    static std::unique_ptr<AudioOutput> open(std::string& error);
    // A mixer with no device behind it, mixing only when mix is called (to record sound).
    static std::unique_ptr<AudioOutput> withoutDevice(std::int32_t rate);
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;
    ~AudioOutput();

    // Starts mixing the samples; answers the voice's nonzero id.
    std::uint32_t start(std::shared_ptr<const std::vector<std::uint8_t>> samples, PcmFormat format,
                        VoiceControls controls);
    void stop(std::uint32_t voice);
    void control(std::uint32_t voice, VoiceControls controls);
    // Voices that have played to their end since the last call; they are forgotten.
    std::vector<std::uint32_t> takeFinished();
    std::size_t voices();

    // Mixes frames of interleaved stereo 16-bit output. The device's thread calls it with
    // the lock held; without a device the owner calls it.
    void mix(std::int16_t* out, std::int32_t frames);

private:
    struct Voice {
        std::uint32_t id;
        std::shared_ptr<const std::vector<std::uint8_t>> samples;
        PcmFormat format;
        VoiceControls controls;
        double position; // in source frames
        bool finished;
    };

    AudioOutput(SDL_AudioDeviceID device, std::int32_t rate);
    static void SDLCALL callback(void* self, Uint8* stream, int length);

    SDL_AudioDeviceID device_;
    std::int32_t rate_;
    std::uint32_t nextId_ = 1;
    std::vector<Voice> voices_;
    std::vector<std::int32_t> scratch_;
};

} // namespace qxhost
