// Small pieces the media tests share: PNG and WAV files made in memory, readers over
// bytes, and an archive entry standing for a file.
#pragma once

#include <png.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "archives/Reader.h"
#include "qx/resources.h"
#include "qx/streams.h"

namespace mediatest {

struct PngPicture {
    PngPicture(int w, int h, int type, int depth, std::vector<std::uint8_t> rows)
        : width(w), height(h), colourType(type), bitDepth(depth), data(std::move(rows)) {}
    int width;
    int height;
    int colourType;
    int bitDepth;
    std::vector<std::uint8_t> data; // packed rows, as libpng takes them
    std::vector<png_color> palette;
    std::vector<std::uint8_t> transparency; // tRNS of a palette picture
    std::vector<std::pair<std::string, std::string>> texts;
};

inline std::vector<std::uint8_t> makePng(const PngPicture& picture) {
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep bytes, png_size_t length) {
            auto* target = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(p));
            target->insert(target->end(), bytes, bytes + length);
        },
        nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width),
                 static_cast<png_uint_32>(picture.height), picture.bitDepth, picture.colourType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!picture.palette.empty()) {
        png_set_PLTE(png, info, picture.palette.data(), static_cast<int>(picture.palette.size()));
    }
    if (!picture.transparency.empty()) {
        png_set_tRNS(png, info, picture.transparency.data(),
                     static_cast<int>(picture.transparency.size()), nullptr);
    }
    for (const auto& [key, value] : picture.texts) {
        png_text text{PNG_TEXT_COMPRESSION_NONE,
                      const_cast<char*>(key.c_str()),
                      const_cast<char*>(value.c_str()),
                      0,
                      0,
                      nullptr,
                      nullptr};
        png_set_text(png, info, &text, 1);
    }
    png_write_info(png, info);
    const std::size_t stride = picture.data.size() / static_cast<std::size_t>(picture.height);
    for (std::size_t row = 0; row < static_cast<std::size_t>(picture.height); ++row) {
        png_write_row(png, picture.data.data() + row * stride);
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

// A RIFF WAVE file of PCM data; dataLength overrides the length written in the data chunk.
// An unrelated chunk of odd length, padded, comes before the format.
inline std::vector<std::uint8_t> makeWav(std::uint32_t rate, std::uint32_t channels,
                                         std::uint32_t bits,
                                         const std::vector<std::uint8_t>& samples,
                                         std::uint32_t formatTag = 1,
                                         std::int64_t dataLength = -1) {
    std::vector<std::uint8_t> out;
    auto put = [&out](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    };
    auto tag = [&out](const char* name) { out.insert(out.end(), name, name + 4); };
    const std::uint32_t frame = channels * bits / 8;
    tag("RIFF"), put(0, 4), tag("WAVE"), tag("LIST"), put(3, 4), tag("abc"), tag("fmt ");
    put(16, 4), put(formatTag, 2), put(channels, 2), put(rate, 4), put(rate * frame, 4);
    put(frame, 2), put(bits, 2), tag("data");
    put(static_cast<std::uint32_t>(dataLength < 0 ? std::int64_t(samples.size()) : dataLength), 4);
    out.insert(out.end(), samples.begin(), samples.end());
    return out;
}

// An entry of a folder archive standing for a file of the given path.
struct FileEntry {
    explicit FileEntry(std::string filePath) : path(std::move(filePath)) {
        entry.description = path.c_str();
        entry.name = path.c_str();
    }
    std::string path;
    qx::ResourceEntry entry{};
};

// The blocking side of a host reader over bytes, as an archive lends one.
struct BytesReader {
    BytesReader(qxhost::Host& host, const std::vector<std::uint8_t>& bytes)
        : reader(qxhost::Reader::overBytes(host, std::string(bytes.begin(), bytes.end()))) {}
    qx::IRead* read() {
        return static_cast<qx::IRead*>(reader->table()->getInterface(qx::kIReadName));
    }
    std::unique_ptr<qxhost::Reader> reader;
};

// Reads everything an IRead gives.
inline std::vector<std::uint8_t> readAll(qx::IRead* reader) {
    std::vector<std::uint8_t> out;
    std::uint8_t chunk[7];
    for (std::int32_t n; (n = reader->read(chunk, sizeof chunk)) > 0;) {
        out.insert(out.end(), chunk, chunk + n);
    }
    return out;
}

} // namespace mediatest
