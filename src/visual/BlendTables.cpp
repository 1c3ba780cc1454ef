#include "visual/BlendTables.h"

#include <algorithm>

namespace qx {

namespace {
// 1/255 as the pictures were tuned with; the product is truncated, not rounded.
constexpr double kInverse255 = 0.00392156862745098;
} // namespace

void BlendTables::findLinearForm(const std::int32_t* v) {
    linear = false;
    if (!compact) {
        return;
    }
    // The multiplier lies next to opacity / 255 in 16-bit fixed point; the largest products
    // come first, where a wrong candidate shows soonest.
    const double nearest = opacity * kInverse255 * 65536.0;
    if (!(nearest >= 0.0 && nearest < 65534.0)) {
        return;
    }
    const auto first = static_cast<std::uint32_t>(nearest);
    for (std::uint32_t multiplier = first; multiplier <= first + 1; ++multiplier) {
        for (std::uint32_t bias = 0; bias <= 1; ++bias) {
            bool fits = true;
            for (int i = kEntries - 1; i >= 0 && fits; --i) {
                const std::uint32_t product = static_cast<std::uint32_t>((i >> 8) * (i & 255));
                fits = static_cast<std::int32_t>(((product + bias) * multiplier) >> 16) == v[i];
            }
            if (fits) {
                linear = true;
                linearMultiplier = static_cast<std::uint16_t>(multiplier);
                linearBias = static_cast<std::uint16_t>(bias);
                return;
            }
        }
    }
}

void BlendTables::findRowForms() {
    constexpr std::int32_t kOne = 1 << kRowShift;
    allRowForms = true;
    for (int a = 0; a < 256; ++a) {
        rowForms[a] = kNoRowForm;
        // The multiplier lies next to a * opacity / 255 in fixed point; the bias range that
        // every channel value allows decides, and is checked against both tables it stands for.
        const double nearest = a * opacity * kInverse255 * kOne;
        if (!(nearest >= 0.0 && nearest <= kOne)) {
            allRowForms = false;
            continue;
        }
        for (const std::int32_t step : {0, 1, -1, 2, -2}) {
            const std::int32_t m = static_cast<std::int32_t>(nearest) + step;
            if (m < 0) {
                continue;
            }
            std::int32_t low = 0;
            std::int32_t high = std::min(0x7FFF, 0xFFFF - 31 * m);
            for (int c = 0; c < 32 && low <= high; ++c) {
                const std::int32_t v = srcBlue[index(static_cast<unsigned>(c), a)];
                if (dstBlue[index(static_cast<unsigned>(c), a)] != c - v) {
                    low = high + 1;
                    break;
                }
                low = std::max(low, v * kOne - c * m);
                high = std::min(high, (v + 1) * kOne - 1 - c * m);
            }
            if (low <= high) {
                rowForms[a] = static_cast<std::uint32_t>(m) | static_cast<std::uint32_t>(low) << 16;
                break;
            }
        }
        allRowForms = allRowForms && rowForms[a] != kNoRowForm;
    }
}

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
    findLinearForm(v);
    findRowForms();
    identity = true;
    for (int i = 0; i < kEntries && identity; ++i) {
        const int c = i >> 8;
        identity = (srcRed[i] | srcGreen[i] | srcBlue[i]) == 0 && dstRed[i] == c << 10 &&
                   dstGreen[i] == c << 5 && dstBlue[i] == c;
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
