#include "demogen/PngFile.h"

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <stdexcept>

#include <png.h>

namespace demogen {

namespace {

unsigned char toByte(float v) { return static_cast<unsigned char>(std::lround(clamp01(v) * 255)); }

// Everything libpng may jump over is plain data, so the longjmp of its error path is safe.
bool writeRows(std::FILE* file, int width, int height, int colourType, png_bytep* rows,
               png_text* text, int textCount) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr)
        return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (textCount > 0)
        png_set_text(png, info, text, textCount);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

void writePng(const std::string& path, const Picture& picture, PngKind kind, const PngText& text) {
    const int channels = kind == PngKind::Rgba32 ? 4 : 3;
    const std::size_t stride = static_cast<std::size_t>(picture.width() * channels);
    std::vector<unsigned char> bytes(stride * static_cast<std::size_t>(picture.height()));
    std::vector<png_bytep> rows(static_cast<std::size_t>(picture.height()));
    for (int y = 0; y < picture.height(); ++y) {
        unsigned char* row = bytes.data() + stride * static_cast<std::size_t>(y);
        rows[static_cast<std::size_t>(y)] = row;
        for (int x = 0; x < picture.width(); ++x) {
            const Rgba& c = picture.at(x, y);
            const float weight = kind == PngKind::Rgba32 ? 1.0f : clamp01(c.a);
            unsigned char* out = row + x * channels;
            out[0] = toByte(c.r * weight);
            out[1] = toByte(c.g * weight);
            out[2] = toByte(c.b * weight);
            if (kind == PngKind::Rgba32)
                out[3] = toByte(c.a);
        }
    }

    std::vector<png_text> chunks(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        chunks[i].compression = PNG_TEXT_COMPRESSION_NONE;
        chunks[i].key = const_cast<char*>(text[i].first.c_str());
        chunks[i].text = const_cast<char*>(text[i].second.c_str());
        chunks[i].text_length = text[i].second.size();
    }

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        throw std::runtime_error(path + ": cannot create the file");
    const bool written =
        writeRows(file, picture.width(), picture.height(),
                  kind == PngKind::Rgba32 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                  rows.data(), chunks.data(), static_cast<int>(chunks.size()));
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed)
        throw std::runtime_error(path + ": cannot write the PNG");
}

} // namespace demogen
