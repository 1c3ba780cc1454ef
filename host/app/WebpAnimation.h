// A run as an animated, lossless WebP, through libwebp's animation encoder. Each frame keeps
// the time the scene drew it; a frame equal to the one before only lengthens that one.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct WebPAnimEncoder;

namespace qxhost::app {

class WebpAnimation {
public:
    WebpAnimation();
    WebpAnimation(const WebpAnimation&) = delete;
    WebpAnimation& operator=(const WebpAnimation&) = delete;
    ~WebpAnimation();

    // A 640 x 480 screen of "-rrrrrgggggbbbbb" words, drawn at the given clock time.
    void addFrame(const std::vector<std::uint16_t>& screen, std::int32_t time);
    // Closes the animation (the last frame shows until endTime) and writes the file;
    // false with the reason in error().
    bool write(const std::string& path, std::int32_t endTime);
    const std::string& error() const { return error_; }
    // Frames given to the encoder (changed ones only).
    std::int32_t frames() const { return frames_; }

private:
    bool fail(const std::string& message);

    WebPAnimEncoder* encoder_ = nullptr;
    std::array<std::uint32_t, 32768> argbOf_{}; // screen word (without bit 15) to ARGB
    std::vector<std::uint16_t> previous_;
    std::int32_t firstTime_ = 0;
    std::int32_t lastTime_ = 0;
    std::int32_t frames_ = 0;
    std::string error_;
};

} // namespace qxhost::app
