// media/: pictures, sounds, the screen and text, with libpng, SDL2 and FreeType: the
// bitmap factory, the sound system, the surface, fonts, and the archive factories that
// decode PNG and WAV files. Includes archives/, runtime/ and the contract.
//
// Everything the reference host offers for pictures, sounds, the screen and text: the
// bitmap factory "vanillaimage", the sound factory "soundsystem", the 640 x 480 surface and
// the font system, made and registered together; and the archive factories "pngfile" and
// "wavfile", which the resource root keeps. Make it after the Host and let it go before.
#pragma once

#include "archives/ResourceRoot.h"
#include "media/BitmapFactory.h"
#include "media/FontSystem.h"
#include "media/PngArchive.h"
#include "media/SoundSystem.h"
#include "media/Surface.h"
#include "media/WavArchive.h"

namespace qxhost {

class Media {
public:
    explicit Media(Host& host)
        : bitmaps_(host), soundSystem_(host), surface_(host, &bitmaps_), fonts_(host) {}
    Media(const Media&) = delete;
    Media& operator=(const Media&) = delete;

    SoundSystem& soundSystem() { return soundSystem_; }
    Surface& surface() { return surface_; }
    FontSystem& fonts() { return fonts_; }

private:
    VanillaBitmapFactory bitmaps_;
    SoundSystem soundSystem_;
    Surface surface_;
    FontSystem fonts_;
};

// Gives the root the "pngfile" and "wavfile" factories: their archives belong to its tree
// and must outlive it.
inline void addMediaArchives(Host& host, ResourceRoot& root) {
    root.adopt(std::make_unique<PngArchiveFactory>(host));
    root.adopt(std::make_unique<WavArchiveFactory>(host));
}

} // namespace qxhost
