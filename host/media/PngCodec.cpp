#include "media/PngCodec.h"

#include <png.h>

#include <cstdlib>
#include <cstring>

#include "media/PixelLayout.h"

namespace qxhost {

namespace {

std::uint32_t bigEndian32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

// libpng's reading interface hides text chunks, so the frame count is looked up by
// walking the chunk list; libpng has already checked the file's structure by then.
const char* findFramesText(const std::uint8_t* data, std::size_t size, std::size_t& length) {
    std::size_t offset = 8;
    while (offset + 8 <= size) {
        const std::size_t chunkLength = bigEndian32(data + offset);
        const std::uint8_t* type = data + offset + 4;
        if (chunkLength > size - offset - 8) {
            return nullptr;
        }
        const auto* body = reinterpret_cast<const char*>(data + offset + 8);
        if (std::memcmp(type, "tEXt", 4) == 0 && chunkLength > 7 &&
            std::memcmp(body, "frames\0", 7) == 0) {
            length = chunkLength - 7;
            return body + 7;
        }
        if (std::memcmp(type, "IEND", 4) == 0) {
            return nullptr;
        }
        offset += 12 + chunkLength;
    }
    return nullptr;
}

// libpng allocates an ancillary chunk's whole claimed length before reading it, so a
// file of a few bytes could ask for gigabytes. Data held in memory cannot hold a chunk
// longer than what is left of it: such a chunk is refused before libpng sees it.
bool findOversizedChunk(const std::uint8_t* data, std::size_t size, std::string& error) {
    std::size_t offset = 8;
    while (offset + 8 <= size) {
        const std::size_t chunkLength = bigEndian32(data + offset);
        const std::uint8_t* type = data + offset + 4;
        if (chunkLength > size - offset - 8) {
            error = "corrupt PNG data: chunk \"" +
                    std::string(reinterpret_cast<const char*>(type), 4) + "\" claims " +
                    std::to_string(chunkLength) + " bytes, the file has " +
                    std::to_string(size - offset - 8) + " left";
            return true;
        }
        if (std::memcmp(type, "IEND", 4) == 0) {
            return false;
        }
        offset += 12 + chunkLength;
    }
    return false;
}

void readFrames(const std::uint8_t* data, std::size_t size, DecodedPicture& picture) {
    std::size_t length = 0;
    const char* text = findFramesText(data, size, length);
    if (text == nullptr) {
        return;
    }
    const std::string value(text, length);
    char* end = nullptr;
    const long frames = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0' || frames < 1 || frames > picture.height) {
        picture.warning = "text \"frames\" is \"" + value + "\", not a count from 1 to " +
                          std::to_string(picture.height) + "; using 1 frame";
        return;
    }
    picture.frames = static_cast<std::int32_t>(frames);
}

} // namespace

bool decodePng(const std::uint8_t* data, std::size_t size, DecodedPicture& picture,
               std::string& error) {
    picture = DecodedPicture{};
    if (size < 8 || png_sig_cmp(data, 0, 8) != 0) {
        error = "not a PNG file (bad signature)";
        return false;
    }
    if (findOversizedChunk(data, size, error)) {
        return false;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&image, data, size) == 0) {
        error = std::string("unreadable PNG header: ") + image.message;
        png_image_free(&image);
        return false;
    }
    if (image.width == 0 || image.height == 0 || image.width > kLargestPictureSide ||
        image.height > kLargestPictureSide ||
        std::int64_t{image.width} * image.height > kLargestPicturePixels) {
        error = "picture of " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                " pixels is too large";
        png_image_free(&image);
        return false;
    }
    if ((image.format & PNG_FORMAT_FLAG_ALPHA) != 0) {
        image.format = PNG_FORMAT_BGRA;
        picture.bitsPerPixel = 32;
        picture.format = kColourAlphaFormat;
    } else if ((image.format & PNG_FORMAT_FLAG_COLOR) != 0) {
        image.format = PNG_FORMAT_BGR;
        picture.bitsPerPixel = 24;
        picture.format = kColourFormat;
    } else {
        image.format = PNG_FORMAT_GRAY;
        picture.bitsPerPixel = 8;
        picture.format = kAlphaFormat;
    }
    // 16-bit files without colour-space chunks are taken as sRGB, so that reducing them
    // to 8 bits keeps their values instead of re-encoding them from linear light.
    image.flags |= PNG_IMAGE_FLAG_16BIT_sRGB;
    picture.width = static_cast<std::int32_t>(image.width);
    picture.height = static_cast<std::int32_t>(image.height);
    picture.pixels.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr) == 0) {
        error = std::string("corrupt PNG data: ") + image.message;
        png_image_free(&image);
        picture.pixels.clear();
        return false;
    }
    png_image_free(&image);
    readFrames(data, size, picture);
    return true;
}

bool writeRgbPng(const std::string& path, std::int32_t width, std::int32_t height,
                 const std::uint8_t* rows, std::int32_t stride, std::string& error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    if (png_image_write_to_file(&image, path.c_str(), 0, rows, stride, nullptr) == 0) {
        error = image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

} // namespace qxhost
