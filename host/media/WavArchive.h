// The archive factory "wavfile": a WAV file as an archive with one entry "sound" (type
// "sound"), whose handle designates a SoundDescription (sample rate, channels, bits per
// sample, data byte length, 0) and whose reader gives the PCM bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "media/FileArchiveFactory.h"

namespace qxhost {

// Where the PCM data of a WAV file lies and how to play it.
struct WavLayout {
    std::uint32_t sampleRate = 0;
    std::uint32_t channels = 0;
    std::uint32_t bitsPerSample = 0;
    std::size_t dataOffset = 0;
    std::size_t dataLength = 0;
};

// Finds the format and data of a PCM WAV file (8 or 16 bits, mono or stereo). A data chunk
// cut short by the end of the file is kept as far as it goes, with a warning.
bool parseWav(const std::vector<std::uint8_t>& bytes, WavLayout& layout, std::string& error,
              std::string& warning);

class WavArchiveFactory final : public FileArchiveFactory {
public:
    explicit WavArchiveFactory(Host& host);

protected:
    bool decode(const std::vector<std::uint8_t>& bytes, const std::string& label,
                SingleEntryArchive& archive, std::string& error, std::string& warning) override;
};

} // namespace qxhost
