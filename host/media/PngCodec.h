// PNG files in and out, through libpng.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qxhost {

// A picture as the host's bitmaps hold it: rows top to bottom without padding, grey as
// 8 bits ("aaaaaaaa"), colour as 24 (B, G, R), colour with alpha as 32 (B, G, R, A).
struct DecodedPicture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bitsPerPixel = 0;
    const char* format = nullptr;
    std::int32_t frames = 1;
    std::vector<std::uint8_t> pixels;
    // Something wrong that did not stop the decoding (an unusable frame count).
    std::string warning;
};

// Pictures wider or taller than this are refused rather than allocated.
inline constexpr std::int32_t kLargestPictureSide = 16384;
inline constexpr std::int64_t kLargestPicturePixels = 16 * 1024 * 1024;

// Decodes a whole PNG file held in memory. Palettes and grey with alpha are expanded,
// 16-bit channels reduced to 8; a tEXt chunk "frames" gives the number of frames.
bool decodePng(const std::uint8_t* data, std::size_t size, DecodedPicture& picture,
               std::string& error);

// Writes 8-bit R, G, B rows (stride bytes apart) as a PNG file.
bool writeRgbPng(const std::string& path, std::int32_t width, std::int32_t height,
                 const std::uint8_t* rows, std::int32_t stride, std::string& error);

} // namespace qxhost
