#pragma once

#include "media/Deletable.h"
#include "media/Sound.h"
#include "qx/resources.h"

namespace qx {

// The owner's hold on one sound effect: a preloaded Sound made from a resource entry.
class SoundResource : public Deletable {
public:
    explicit SoundResource(ResourceEntry* entry);
    SoundResource(const SoundResource&) = delete;
    SoundResource& operator=(const SoundResource&) = delete;
    // Releases the owner's reference; a sound still playing finishes on its own.
    ~SoundResource() override;

    Sound* sound() const { return sound_; }

    SoundDescription description;
    SoundDescription* resourceDescription = nullptr; // the archive's record, borrowed

private:
    Sound* sound_ = nullptr; // one reference owned
};

} // namespace qx
