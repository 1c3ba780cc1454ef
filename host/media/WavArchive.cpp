#include "media/WavArchive.h"

#include <cstring>

#include "archives/ArchiveTypes.h"

namespace qxhost {

namespace {

std::uint32_t little16(const std::uint8_t* p) { return std::uint32_t{p[0]} | (p[1] << 8u); }

std::uint32_t little32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}

constexpr std::uint32_t kFormatPcm = 1;
constexpr std::uint32_t kFormatExtensible = 0xFFFE;
constexpr std::uint32_t kHighestRate = 384000;

bool readFormat(const std::uint8_t* body, std::size_t length, WavLayout& layout,
                std::string& error) {
    if (length < 16) {
        error = "fmt chunk of " + std::to_string(length) + " bytes is too short";
        return false;
    }
    std::uint32_t tag = little16(body);
    // The extensible header names the real format in the first two bytes of its GUID.
    if (tag == kFormatExtensible && length >= 26) {
        tag = little16(body + 24);
    }
    if (tag != kFormatPcm) {
        error = "not PCM data (format tag " + std::to_string(tag) + ")";
        return false;
    }
    layout.channels = little16(body + 2);
    layout.sampleRate = little32(body + 4);
    layout.bitsPerSample = little16(body + 14);
    if (layout.channels != 1 && layout.channels != 2) {
        error = std::to_string(layout.channels) + " channels; only mono and stereo play";
        return false;
    }
    if (layout.bitsPerSample != 8 && layout.bitsPerSample != 16) {
        error = std::to_string(layout.bitsPerSample) + " bits per sample; only 8 and 16 play";
        return false;
    }
    if (layout.sampleRate == 0 || layout.sampleRate > kHighestRate) {
        error = "sample rate of " + std::to_string(layout.sampleRate) + " Hz";
        return false;
    }
    return true;
}

} // namespace

bool parseWav(const std::vector<std::uint8_t>& bytes, WavLayout& layout, std::string& error,
              std::string& warning) {
    layout = WavLayout{};
    const std::size_t size = bytes.size();
    if (size < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        error = "not a WAV file (no RIFF WAVE header)";
        return false;
    }
    bool haveFormat = false;
    std::size_t offset = 12;
    while (offset + 8 <= size) {
        const std::uint8_t* header = bytes.data() + offset;
        const std::size_t length = little32(header + 4);
        const std::size_t available = size - offset - 8;
        if (std::memcmp(header, "fmt ", 4) == 0) {
            if (length > available) {
                error = "fmt chunk runs past the end of the file";
                return false;
            }
            if (!readFormat(header + 8, length, layout, error)) {
                return false;
            }
            haveFormat = true;
        } else if (std::memcmp(header, "data", 4) == 0) {
            if (!haveFormat) {
                error = "data chunk before any fmt chunk";
                return false;
            }
            layout.dataOffset = offset + 8;
            layout.dataLength = length;
            if (length > available) {
                warning = "data chunk claims " + std::to_string(length) + " bytes but " +
                          std::to_string(available) + " remain; playing those";
                layout.dataLength = available;
            }
            const std::size_t frame = layout.channels * layout.bitsPerSample / 8;
            layout.dataLength -= layout.dataLength % frame;
            return true;
        }
        if (length > available) {
            break;
        }
        offset += 8 + length + (length & 1u);
    }
    error = haveFormat ? "no data chunk" : "no fmt chunk";
    return false;
}

WavArchiveFactory::WavArchiveFactory(Host& host) : FileArchiveFactory(host, kWavFactory) {}

bool WavArchiveFactory::decode(const std::vector<std::uint8_t>& bytes, const std::string& label,
                               SingleEntryArchive& archive, std::string& error,
                               std::string& warning) {
    WavLayout layout;
    if (!parseWav(bytes, layout, error, warning)) {
        return false;
    }
    qx::SoundDescription description{};
    description.resource.type = host().atoms().identifierOf("sound");
    description.words[0] = layout.sampleRate;
    description.words[1] = layout.channels;
    description.words[2] = layout.bitsPerSample;
    description.words[3] = static_cast<std::uint32_t>(layout.dataLength);
    const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(layout.dataOffset);
    archive.setEntry(description.resource.type, "sound", label, description,
                     std::string(first, first + static_cast<std::ptrdiff_t>(layout.dataLength)));
    return true;
}

} // namespace qxhost
