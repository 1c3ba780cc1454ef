#include "demogen/WavFile.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace demogen {

namespace {

void putWord(std::string& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

} // namespace

void writeWav(const std::string& path, const std::vector<float>& samples, int sampleRate) {
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    const auto rate = static_cast<std::uint32_t>(sampleRate);
    std::string out;
    out.reserve(44 + dataBytes);
    out += "RIFF";
    putWord(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    putWord(out, 16, 4);       // size of the format chunk
    putWord(out, 1, 2);        // PCM
    putWord(out, 1, 2);        // mono
    putWord(out, rate, 4);     // frames per second
    putWord(out, rate * 2, 4); // bytes per second
    putWord(out, 2, 2);        // bytes per frame
    putWord(out, 16, 2);       // bits per sample
    out += "data";
    putWord(out, dataBytes, 4);
    for (float s : samples) {
        const long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
        putWord(out, static_cast<std::uint32_t>(static_cast<std::uint16_t>(v)), 2);
    }

    std::ofstream file(path, std::ios::binary);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    if (!file)
        throw std::runtime_error(path + ": cannot write the WAV file");
}

} // namespace demogen
