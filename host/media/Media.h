// Everything the reference host offers for pictures, sounds, the screen and text, made
// and registered together: the archive factories "pngfile" and "wavfile", the bitmap
// factory "vanillaimage", the sound factory "soundsystem", the 640 x 480 surface and the
// font system. Make it after the Host and let it go before the Host.
#pragma once

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
        : pictures_(host), sounds_(host), bitmaps_(host), soundSystem_(host), surface_(host),
          fonts_(host) {}
    Media(const Media&) = delete;
    Media& operator=(const Media&) = delete;

    PngArchiveFactory& pictures() { return pictures_; }
    WavArchiveFactory& soundFiles() { return sounds_; }
    VanillaBitmapFactory& bitmaps() { return bitmaps_; }
    SoundSystem& soundSystem() { return soundSystem_; }
    Surface& surface() { return surface_; }
    FontSystem& fonts() { return fonts_; }

private:
    PngArchiveFactory pictures_;
    WavArchiveFactory sounds_;
    VanillaBitmapFactory bitmaps_;
    SoundSystem soundSystem_;
    Surface surface_;
    FontSystem fonts_;
};

} // namespace qxhost
