// A run as an animated, lossless WebP, written to its file as the run goes: each frame is
// encoded by libwebp as the rectangle that changed since the frame before and appended at
// once, so that what is held does not grow with the run (two screens and one frame's code).
// Each frame keeps the time the scene drew it; a frame equal to the one before only
// lengthens that one.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace qxhost::app {

class WebpAnimation {
public:
    // Starts the file at path; error() says when it cannot be written.
    explicit WebpAnimation(const std::string& path);
    WebpAnimation(const WebpAnimation&) = delete;
    WebpAnimation& operator=(const WebpAnimation&) = delete;
    // An animation never finished is removed: a file cut short would not decode.
    ~WebpAnimation();

    // A 640 x 480 screen of "-rrrrrgggggbbbbb" words, drawn at the given clock time.
    void addFrame(const std::vector<std::uint16_t>& screen, std::int32_t time);
    // Writes the last frame (it shows until endTime) and closes the file; false with the
    // reason in error(), and no file left.
    bool finish(std::int32_t endTime);
    const std::string& error() const { return error_; }
    // Frames written (changed ones only).
    std::int32_t frames() const { return frames_; }

private:
    bool fail(const std::string& message);
    // Writes the frame shown from shownSince_ for the given time, as the rectangle in which
    // it differs from what the file shows so far.
    bool writePending(std::int64_t duration);
    // One ANMF chunk: the rectangle of screen at (x, y), w x h, shown for duration ms.
    bool writeFrame(const std::vector<std::uint16_t>& screen, std::int32_t x, std::int32_t y,
                    std::int32_t w, std::int32_t h, std::int32_t duration);
    bool put(const void* bytes, std::size_t size);

    std::string path_;
    std::FILE* file_ = nullptr;
    std::array<std::uint32_t, 32768> argbOf_{}; // screen word (without bit 15) to ARGB
    std::vector<std::uint16_t> shown_;          // what the frames written so far show
    std::vector<std::uint16_t> pending_;        // the frame on screen now, not written yet
    std::int32_t pendingSince_ = 0;
    std::uint64_t size_ = 0; // bytes written
    std::int32_t frames_ = 0;
    bool finished_ = false;
    std::string error_;
};

} // namespace qxhost::app
