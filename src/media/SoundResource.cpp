#include "media/SoundResource.h"

#include "core/Memory.h"
#include "resource/ReadStream.h"
#include "services/HostServices.h"

namespace qx {

SoundResource::SoundResource(ResourceEntry* entry) : description{} {
    description.resource.type = atomOf("none");
    ResourceDirectory* directory = entry != nullptr ? entry->parent : nullptr;
    if (directory != nullptr) {
        resourceDescription = reinterpret_cast<SoundDescription*>(directory->entryHandle(entry));
    }
    if (resourceDescription != nullptr) {
        description = *resourceDescription;
    }
    ReadStream* stream =
        directory != nullptr
            ? directory->openStream(entry, reinterpret_cast<Handle>(resourceDescription))
            : nullptr;
    // A missing resource still gives a Sound, an inert one, so owners need not check.
    sound_ =
        new (fallible) Sound(resourceDescription != nullptr ? resourceDescription : &description);
    if (sound_ != nullptr) {
        sound_->preload(stream != nullptr ? static_cast<IRead*>(stream) : nullptr);
    }
    if (stream != nullptr) {
        directory->closeStream(stream);
    }
}

SoundResource::~SoundResource() {
    if (sound_ != nullptr) {
        sound_->releaseReference();
    }
}

} // namespace qx
