// The pictures every benchmark draws, ours and the peers alike, made from formulas so that
// each run measures the same pixels.
#pragma once

#include <cstdint>
#include <vector>

namespace qxbench {

// Where every picture is drawn on the 640 x 480 screen: inside it, so nothing is clipped.
inline constexpr int kDrawX = 120;
inline constexpr int kDrawY = 96;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // one value a pixel, row by row

    int area() const { return width * height; }
};

// 256 x 192, 0xAARRGGBB: a soft-edged oval over a colour ramp, transparent around it.
Picture alphaPicture();
// 256 x 192, 0xAARRGGBB: colour ramps under an alpha that runs through 1 to 254, so that
// every pixel blends and none is skipped or copied.
Picture gradientPicture();
// alphaPicture's colours, fully opaque.
Picture opaquePicture();
// The alpha of alphaPicture as an 8-bit mask.
Picture maskPicture();
// 96 x 128 in "-rrrrrgggggbbbbb": an arrow whose outside, about half, is the key black.
Picture cursorPicture();
// 256 x 192 in "-rrrrrgggggbbbbb", fully opaque.
Picture translucentPicture();
// A busy 640 x 480 background in "-rrrrrgggggbbbbb".
std::vector<std::uint16_t> screenBackground();

} // namespace qxbench
