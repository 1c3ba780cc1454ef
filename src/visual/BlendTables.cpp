#include "visual/BlendTables.h"

namespace qx {

namespace {
// 1/255 as the pictures were tuned with; the product is truncated, not rounded.
constexpr double kInverse255 = 0.00392156862745098;
} // namespace

void BlendTables::build(double newOpacity) {
    opacity = newOpacity;
    compact = true;
    for (int c = 0; c < 32; ++c) {
        for (int a = 0; a < 256; ++a) {
            const int v = static_cast<int>(static_cast<double>(c * a) * opacity * kInverse255);
            const int i = c * 256 + a;
            srcRed[i] = static_cast<std::uint16_t>(v << 10);
            srcGreen[i] = static_cast<std::uint16_t>(v << 5);
            srcBlue[i] = static_cast<std::uint16_t>(v);
            dstRed[i] = static_cast<std::uint16_t>((c - v) << 10);
            dstGreen[i] = static_cast<std::uint16_t>((c - v) << 5);
            dstBlue[i] = static_cast<std::uint16_t>(c - v);
            rows[a].source[c] = static_cast<std::uint8_t>(v);
            rows[a].destination[c] = static_cast<std::uint8_t>(c - v);
            if (v < 0 || v > 63 || c - v < 0 || c - v > 63) {
                compact = false;
            }
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
