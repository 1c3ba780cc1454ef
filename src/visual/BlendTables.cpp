#include "visual/BlendTables.h"

#include <algorithm>

namespace qx {

namespace {
// 1/255 as the pictures were tuned with; the product is truncated, not rounded.
constexpr double kInverse255 = 0.00392156862745098;
} // namespace

void BlendTables::build(double newOpacity) {
    opacity = newOpacity;
    // Every v first, in plain loops that the compiler runs several entries at a time (doors
    // change their opacity at every frame of a fade); the tables are then filled from it.
    std::int32_t v[kEntries];
    for (int c = 0; c < 32; ++c) {
        for (int a = 0; a < 256; ++a) {
            v[c * 256 + a] =
                static_cast<std::int32_t>(static_cast<double>(c * a) * opacity * kInverse255);
        }
    }
    std::int32_t low = 0;
    std::int32_t high = 0;
    for (int i = 0; i < kEntries; ++i) {
        const std::int32_t source = v[i];
        const std::int32_t destination = (i >> 8) - source;
        srcRed[i] = static_cast<std::uint16_t>(source << 10);
        srcGreen[i] = static_cast<std::uint16_t>(source << 5);
        srcBlue[i] = static_cast<std::uint16_t>(source);
        dstRed[i] = static_cast<std::uint16_t>(destination << 10);
        dstGreen[i] = static_cast<std::uint16_t>(destination << 5);
        dstBlue[i] = static_cast<std::uint16_t>(destination);
        low = std::min(low, std::min(source, destination));
        high = std::max(high, std::max(source, destination));
    }
    compact = low >= 0 && high <= 63;
    for (int a = 0; a < 256; ++a) {
        for (int c = 0; c < 32; ++c) {
            rows[a].source[c] = static_cast<std::uint8_t>(v[c * 256 + a]);
            rows[a].destination[c] = static_cast<std::uint8_t>(c - v[c * 256 + a]);
        }
    }
    fullAlphaCopies = true;
    for (unsigned c = 0; c < 32; ++c) {
        const int i = index(c, 255);
        if (srcRed[i] != c << 10 || srcGreen[i] != c << 5 || srcBlue[i] != c || dstRed[i] != 0 ||
            dstGreen[i] != 0 || dstBlue[i] != 0) {
            fullAlphaCopies = false;
        }
    }
}

} // namespace qx
