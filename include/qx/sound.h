// Sounds: effects played by the host's sound system.
//
// The sound factory (any object's "ISoundFactory") makes sound objects that publish
// "ISound" and optionally "IPreloadSound", "ISoundVolume", "ISoundPanorama",
// "ISoundFrequency" and "ISoundQueue". Playback ends asynchronously: the sound system
// sends a finished message (type 0x50001) through the host's event processing to the
// listener given to play, also after stop.
#pragma once

#include "qx/events.h"
#include "qx/registry.h"
#include "qx/resources.h"
#include "qx/streams.h"
#include "qx/types.h"

namespace qx {

// Nine words: the type record, then five words that the archive and the sound factory
// agree on.
struct SoundDescription {
    ResourceDescription resource;
    std::uint32_t words[5];
};

inline constexpr const char* kISoundFactoryName = "ISoundFactory";

// Called whenever a scene makes a sound effect (set-up) and gives it back.
class ISoundFactory {
public:
    // A new sound object for the description (borrowed for the call), or null. The object
    // belongs to the factory until destroy.
    virtual InterfaceTable* create(SoundDescription* description) = 0;
    // Once per object create made, once its playback has been stopped and its data
    // unloaded; the object is gone after.
    virtual void destroy(InterfaceTable* object) = 0;

protected:
    ~ISoundFactory() = default;
};

inline constexpr const char* kISoundName = "ISound";

class ISound {
public:
    // Slots scenes do not call.
    virtual std::int32_t unused1() = 0;
    virtual std::int32_t unused2() = 0;
    // While a playback runs. Stops it; the finished message follows, through the event loop
    // or from inside this call.
    virtual std::int32_t stop() = 0;

protected:
    ~ISound() = default;
};

inline constexpr const char* kIPreloadSoundName = "IPreloadSound";

class IPreloadSound {
public:
    // Any time; a running playback has been asked to stop first. Reads the sound's data
    // from the stream (null: nothing to read), borrowed for the call; nonzero on success.
    virtual std::int32_t preload(IRead* stream) = 0;
    // After a successful preload (a running playback has been asked to stop first):
    // releases the preloaded data.
    virtual void unload() = 0;
    // After a successful preload, once the last playback's finished message has arrived.
    // Starts playback; answers a nonzero handle when it started. The finished message later
    // goes to listener, which takes it; owner is the object that plays, as a reference
    // count. Both are borrowed until that message: the player holds a reference on itself
    // until then.
    virtual Handle play(IListener* listener, IReferenceCount* owner) = 0;

protected:
    ~IPreloadSound() = default;
};

inline constexpr const char* kISoundVolumeName = "ISoundVolume";

// The four optional interfaces below are kept for whoever plays sounds; scenes of this
// module take them but do not call them.
class ISoundVolume {
public:
    virtual void setVolume(std::int32_t volume) = 0; // 0 to 255

protected:
    ~ISoundVolume() = default;
};

inline constexpr const char* kISoundPanoramaName = "ISoundPanorama";

class ISoundPanorama {
public:
    virtual void setPanorama(std::int32_t panorama) = 0; // -128 left to 127 right

protected:
    ~ISoundPanorama() = default;
};

inline constexpr const char* kISoundFrequencyName = "ISoundFrequency";

class ISoundFrequency {
public:
    virtual void setFrequency(std::int32_t hertz) = 0;

protected:
    ~ISoundFrequency() = default;
};

inline constexpr const char* kISoundQueueName = "ISoundQueue";

class ISoundQueue {
public:
    virtual std::int32_t queued() = 0;

protected:
    ~ISoundQueue() = default;
};

inline constexpr std::uint32_t kSoundFinished = 0x50001u;

// The finished message, made by the sound system and taken by the listener given to play.
// The playing object fills `sound` with itself before passing the message on to its own
// listener, or destroys it when it has none.
class SoundFinishedEvent : public Event {
public:
    void* sound;

protected:
    SoundFinishedEvent() : Event(kSoundFinished, "Sound::finished"), sound(nullptr) {}
    ~SoundFinishedEvent() = default;
};

QX_BEGIN_LAYOUT_CHECKS
QX_LAYOUT_CHECK(sizeof(SoundDescription) == 36);
QX_LAYOUT_CHECK(offsetof(SoundFinishedEvent, sound) == 12);
QX_END_LAYOUT_CHECKS

} // namespace qx
