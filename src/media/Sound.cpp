#include "media/Sound.h"

#include "core/EventObject.h"
#include "services/HostServices.h"

namespace qx {

Sound::Sound(SoundDescription* source) : description{} {
    table.addInterface(kIListenerName, static_cast<IListener*>(this));
    table.addInterface(kIReferenceCountName, static_cast<IReferenceCount*>(this));
    description.resource.type = atomOf("none");
    if (source != nullptr) {
        description = *source;
    }
    factory = static_cast<ISoundFactory*>(hostFindInterface(nullptr, kISoundFactoryName));
    if (factory == nullptr) {
        hostLog(kLogError, "Sound: No SoundFactory found.");
        return;
    }
    // The factory is given the archive's own record when there is one.
    object_ =
        factory->create(source != nullptr ? const_cast<SoundDescription*>(source) : &description);
    if (object_ == nullptr) {
        hostLog(kLogError, "Sound: SoundFactory is unable to create sound.");
        return;
    }
    soundInterface = static_cast<ISound*>(object_->getInterface(kISoundName));
    if (soundInterface == nullptr) {
        hostLog(kLogError, "Sound: Sound has no ISound.");
        return;
    }
    preloadSound = static_cast<IPreloadSound*>(object_->getInterface(kIPreloadSoundName));
    volume = static_cast<ISoundVolume*>(object_->getInterface(kISoundVolumeName));
    panorama = static_cast<ISoundPanorama*>(object_->getInterface(kISoundPanoramaName));
    frequency = static_cast<ISoundFrequency*>(object_->getInterface(kISoundFrequencyName));
    queue = static_cast<ISoundQueue*>(object_->getInterface(kISoundQueueName));
}

Sound::~Sound() {
    if (playing_ != 0) {
        stop();
    }
    if (preloaded_ != 0) {
        unload();
    }
    if (factory != nullptr && object_ != nullptr) {
        factory->destroy(object_);
    }
}

void Sound::addReference() { ++references_; }

void Sound::releaseReference() {
    if (playing_ != 0) {
        stop();
    }
    if (--references_ == 0) {
        delete this;
    }
}

std::int32_t Sound::preload(IRead* stream) {
    if (playing_ != 0) {
        stop();
    }
    unload();
    if (preloadSound == nullptr) {
        return 0;
    }
    const std::int32_t answer = preloadSound->preload(stream);
    if (answer != 0) {
        preloaded_ = 1;
    }
    return answer;
}

void Sound::unload() {
    if (preloadSound != nullptr && preloaded_ != 0) {
        if (playing_ != 0) {
            stop();
        }
        preloadSound->unload();
    }
    preloaded_ = 0;
}

Handle Sound::play(IListener* listener) {
    listener_ = listener;
    if (playing_ != 0) {
        return 0;
    }
    if (preloadSound != nullptr && preloaded_ != 0) {
        addReference();
        playing_ =
            preloadSound->play(static_cast<IListener*>(this), static_cast<IReferenceCount*>(this));
        if (playing_ == 0) {
            hostLog(kLogError, "sound won't play!\n");
            // Nothing will end this playback, so the self-reference is given back now; a
            // finished message that still comes is taken as a duplicate.
            releaseReference();
        }
    }
    return playing_;
}

std::int32_t Sound::stop() {
    if (playing_ == 0 || soundInterface == nullptr) {
        return 0;
    }
    return soundInterface->stop();
}

std::int32_t Sound::handleEvent(Event* message) {
    if (message == nullptr || message->type != kSoundFinished) {
        return 1;
    }
    if (playing_ == 0) {
        hostLog(kLogTrace, "||||||||| duplicate stop message!\n");
        destroyEvent(message);
        return 1;
    }
    playing_ = 0;
    static_cast<SoundFinishedEvent*>(message)->sound = this;
    if (listener_ != nullptr) {
        listener_->handleEvent(message);
    } else {
        destroyEvent(message);
    }
    releaseReference();
    return 1;
}

} // namespace qx
