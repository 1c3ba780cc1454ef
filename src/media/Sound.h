// media/: bitmaps (declared in qx/bitmap.h) and sounds, made by the host's factories, and
// Deletable, the root owners delete pictures and sounds through. Includes resource/, core/,
// services/ and the contract.
#pragma once

#include "qx/events.h"
#include "qx/registry.h"
#include "qx/sound.h"

namespace qx {

// One sound effect played by the host's sound system. While it plays it holds a reference
// on itself, so an owner may let go of it mid-play; the finished message drops that
// reference and is passed on to the listener given to play.
class Sound final : public IListener, public IReferenceCount {
public:
    // Starts with one reference, held by the creator. The description is copied and
    // handed to the sound factory.
    explicit Sound(SoundDescription* source);
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    // IReferenceCount. Releasing a playing sound stops it.
    void addReference() override;
    void releaseReference() override;

    // Stops and unloads first; nonzero when the data was preloaded.
    std::int32_t preload(IRead* stream);
    void unload();
    // Nonzero playback handle when it started; 0 while already playing or when it cannot.
    Handle play(IListener* listener);
    // Asks the sound system to stop; playback ends only with the finished message.
    std::int32_t stop();
    // IListener: the finished message (0x50001); other messages are left alone.
    std::int32_t handleEvent(Event* message) override;

    std::int32_t references() const { return references_; }
    Handle playing() const { return playing_; }

    InterfaceTable table;
    SoundDescription description;
    ISoundFactory* factory = nullptr;
    ISound* soundInterface = nullptr;
    IPreloadSound* preloadSound = nullptr;
    // The contract wants these four kept for the sound's users; the scene calls none of them.
    ISoundVolume* volume = nullptr;
    ISoundPanorama* panorama = nullptr;
    ISoundFrequency* frequency = nullptr;
    ISoundQueue* queue = nullptr;

private:
    ~Sound();

    IListener* listener_ = nullptr;
    std::int32_t preloaded_ = 0;
    Handle playing_ = 0;
    std::int32_t references_ = 1;
    InterfaceTable* object_ = nullptr;
};

} // namespace qx
