// What must hold for any bytes given to the host's decoders. The fuzz targets abort when
// a check fails; the regression tests run the kept inputs through the same checks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "archives/ValuesArchive.h"
#include "media/PngCodec.h"
#include "media/WavArchive.h"

namespace qxfuzz {

// Decoded, a picture holds exactly its rows; refused, it says why.
inline bool checkPng(const std::uint8_t* data, std::size_t size) {
    qxhost::DecodedPicture picture;
    std::string error;
    if (!qxhost::decodePng(data, size, picture, error)) {
        return !error.empty();
    }
    const auto expected = static_cast<std::size_t>(picture.width) *
                          static_cast<std::size_t>(picture.height) *
                          static_cast<std::size_t>(picture.bitsPerPixel / 8);
    return picture.width > 0 && picture.height > 0 && picture.format != nullptr &&
           picture.pixels.size() == expected && picture.frames >= 1 &&
           picture.frames <= picture.height;
}

// Parsed, the samples lie inside the file; refused, it says why.
inline bool checkWav(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    qxhost::WavLayout layout;
    std::string error;
    std::string warning;
    if (!qxhost::parseWav(bytes, layout, error, warning)) {
        return !error.empty();
    }
    return layout.dataOffset <= size && layout.dataLength <= size - layout.dataOffset;
}

// Every value has a name, in line order, and a good line after any text is still read.
inline bool checkValues(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    int previous = 0;
    for (const auto& value : qxhost::parseValues(text).values) {
        if (value.name.empty() || value.line <= previous) {
            return false;
        }
        previous = value.line;
    }
    const auto more = qxhost::parseValues(std::string(text) + "\nzz = 1\n").values;
    return !more.empty() && more.back().name == "zz" && more.back().value == "1";
}

} // namespace qxfuzz
