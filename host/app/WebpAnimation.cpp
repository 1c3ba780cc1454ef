#include "app/WebpAnimation.h"

#include <webp/encode.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "media/PixelLayout.h"
#include "media/Surface.h"

namespace qxhost::app {

namespace {

constexpr std::int32_t kWidth = Surface::kWidth;
constexpr std::int32_t kHeight = Surface::kHeight;
// A frame's duration is a 24-bit field; a longer stillness is written as more frames.
constexpr std::int64_t kLongestFrame = 0xFFFFFF;
// RIFF sizes are 32-bit.
constexpr std::uint64_t kLargestFile = 0xFFFFFFF0u;

void put24(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
    at[2] = static_cast<std::uint8_t>(value >> 16);
}

void put32(std::uint8_t* at, std::uint32_t value) {
    put24(at, value);
    at[3] = static_cast<std::uint8_t>(value >> 24);
}

std::uint32_t get32(const std::uint8_t* at) {
    return std::uint32_t{at[0]} | std::uint32_t{at[1]} << 8 | std::uint32_t{at[2]} << 16 |
           std::uint32_t{at[3]} << 24;
}

} // namespace

WebpAnimation::WebpAnimation(const std::string& path) : path_(path) {
    // The same unpacking as the screenshots, so that a frame decodes to its shot's pixels.
    const auto layout = PixelLayout::parse(kScreenFormat);
    for (std::uint32_t word = 0; word < argbOf_.size(); ++word) {
        const Rgba c = layout->unpack(word);
        argbOf_[word] =
            0xFF000000u | (std::uint32_t{c.red} << 16) | (std::uint32_t{c.green} << 8) | c.blue;
    }
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) {
        fail("cannot write " + path + ": " + std::strerror(errno));
        return;
    }
    // RIFF (size patched at the end), then VP8X (an animation of the screen's size) and ANIM
    // (black background, repeating for ever).
    std::uint8_t header[12 + 18 + 14] = {'R', 'I', 'F', 'F', 0,   0,  0, 0, 'W', 'E', 'B',
                                         'P', 'V', 'P', '8', 'X', 10, 0, 0, 0,   0x02};
    put24(&header[24], kWidth - 1);
    put24(&header[27], kHeight - 1);
    std::memcpy(&header[30], "ANIM", 4);
    put32(&header[34], 6);
    put(header, sizeof header);
}

WebpAnimation::~WebpAnimation() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
    if (!finished_ && size_ > 0) {
        std::remove(path_.c_str());
    }
}

bool WebpAnimation::fail(const std::string& message) {
    if (error_.empty()) {
        error_ = message;
    }
    return false;
}

bool WebpAnimation::put(const void* bytes, std::size_t size) {
    if (!error_.empty()) {
        return false;
    }
    if (size_ + size > kLargestFile) {
        return fail("the animation would pass the 4 GB a WebP file can hold");
    }
    if (std::fwrite(bytes, 1, size, file_) != size) {
        return fail("cannot write " + path_ + ": " + std::strerror(errno));
    }
    size_ += size;
    return true;
}

void WebpAnimation::addFrame(const std::vector<std::uint16_t>& screen, std::int32_t time) {
    if (!error_.empty() || screen == pending_) {
        return;
    }
    // A frame replaced within the same millisecond is never seen, and is not written.
    if (!pending_.empty() && time > pendingSince_ &&
        !writePending(std::int64_t{time} - pendingSince_)) {
        return;
    }
    pending_ = screen;
    pendingSince_ = time;
}

bool WebpAnimation::writePending(std::int64_t duration) {
    std::int32_t left = 0, top = 0, right = kWidth - 1, bottom = kHeight - 1;
    if (!shown_.empty()) {
        left = kWidth;
        top = kHeight;
        right = -1;
        bottom = -1;
        for (std::int32_t y = 0; y < kHeight; ++y) {
            const std::size_t row = static_cast<std::size_t>(y) * kWidth;
            for (std::int32_t x = 0; x < kWidth; ++x) {
                if (pending_[row + static_cast<std::size_t>(x)] !=
                    shown_[row + static_cast<std::size_t>(x)]) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        if (right < 0) {
            left = top = right = bottom = 0; // the same picture again: one pixel stands for it
        }
    }
    // Frame offsets are stored halved.
    left &= ~1;
    top &= ~1;
    bool written = true;
    for (bool first = true; written && duration > 0; first = false) {
        const std::int64_t part = std::min(duration, kLongestFrame);
        written = first ? writeFrame(pending_, left, top, right - left + 1, bottom - top + 1,
                                     static_cast<std::int32_t>(part))
                        : writeFrame(pending_, 0, 0, 1, 1, static_cast<std::int32_t>(part));
        duration -= part;
    }
    shown_ = pending_;
    ++frames_;
    return written;
}

bool WebpAnimation::writeFrame(const std::vector<std::uint16_t>& screen, std::int32_t x,
                               std::int32_t y, std::int32_t w, std::int32_t h,
                               std::int32_t duration) {
    WebPConfig config;
    WebPPicture picture;
    if (WebPConfigInit(&config) == 0 || WebPPictureInit(&picture) == 0) {
        return fail("libwebp's configuration could not be made");
    }
    config.lossless = 1;
    config.method = 0; // fast: most frames change a small rectangle
    config.quality = 25;
    picture.use_argb = 1;
    picture.width = w;
    picture.height = h;
    if (WebPPictureAlloc(&picture) == 0) {
        return fail("out of memory for a frame");
    }
    for (std::int32_t row = 0; row < h; ++row) {
        const std::uint16_t* in = screen.data() + static_cast<std::size_t>(y + row) * kWidth + x;
        std::uint32_t* out = picture.argb + static_cast<std::size_t>(row) * picture.argb_stride;
        for (std::int32_t column = 0; column < w; ++column) {
            out[column] = argbOf_[in[column] & 0x7FFFu];
        }
    }
    WebPMemoryWriter code;
    WebPMemoryWriterInit(&code);
    picture.writer = WebPMemoryWrite;
    picture.custom_ptr = &code;
    const bool encoded = WebPEncode(&config, &picture) != 0;
    WebPPictureFree(&picture);
    if (!encoded || code.size < 12) {
        WebPMemoryWriterClear(&code);
        return fail("libwebp could not encode a frame");
    }
    // The encoder writes a still WebP file: its image chunks, after the RIFF header, are the
    // frame's data.
    std::vector<std::uint8_t> data;
    for (std::size_t at = 12; at + 8 <= code.size;) {
        const std::uint32_t length = get32(code.mem + at + 4);
        const std::size_t whole = 8 + static_cast<std::size_t>(length) + (length & 1);
        if (whole > code.size - at) {
            break;
        }
        if (std::memcmp(code.mem + at, "VP8L", 4) == 0 ||
            std::memcmp(code.mem + at, "VP8 ", 4) == 0 ||
            std::memcmp(code.mem + at, "ALPH", 4) == 0) {
            data.insert(data.end(), code.mem + at, code.mem + at + whole);
        }
        at += whole;
    }
    WebPMemoryWriterClear(&code);
    std::uint8_t header[8 + 16] = {'A', 'N', 'M', 'F'};
    put32(&header[4], static_cast<std::uint32_t>(16 + data.size()));
    put24(&header[8], static_cast<std::uint32_t>(x / 2));
    put24(&header[11], static_cast<std::uint32_t>(y / 2));
    put24(&header[14], static_cast<std::uint32_t>(w - 1));
    put24(&header[17], static_cast<std::uint32_t>(h - 1));
    put24(&header[20], static_cast<std::uint32_t>(duration));
    header[23] = 0x02; // no blending with the canvas; nothing disposed
    return put(header, sizeof header) && put(data.data(), data.size());
}

bool WebpAnimation::finish(std::int32_t endTime) {
    if (!error_.empty()) {
        return false;
    }
    if (pending_.empty()) {
        return fail("the run drew no frame");
    }
    if (!writePending(std::max<std::int64_t>(std::int64_t{endTime} - pendingSince_, 1))) {
        return false;
    }
    std::uint8_t size[4];
    put32(size, static_cast<std::uint32_t>(size_ - 8));
    if (std::fseek(file_, 4, SEEK_SET) != 0 || std::fwrite(size, 1, 4, file_) != 4 ||
        std::fclose(file_) != 0) {
        file_ = nullptr;
        return fail("cannot write " + path_ + ": " + std::strerror(errno));
    }
    file_ = nullptr;
    finished_ = true;
    return true;
}

} // namespace qxhost::app
