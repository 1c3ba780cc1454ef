#include "visual/MixTables.h"

#include <algorithm>

namespace qx {

void MixTables::build(double newOpacity) {
    opacity = newOpacity;
    for (int d = 0; d < 32; ++d) {
        for (int s = 0; s < 32; ++s) {
            const int m = static_cast<int>((1.0 - opacity) * d + s * opacity);
            const int i = d * 32 + s;
            mixRed[i] = static_cast<std::uint16_t>(m << 10);
            mixGreen[i] = static_cast<std::uint16_t>(m << 5);
            mixBlue[i] = static_cast<std::uint16_t>(m);
        }
    }
    findLinearForm();
}

void MixTables::findLinearForm() {
    linear = false;
    if (!(opacity >= 0.0 && opacity <= 1.0)) {
        return;
    }
    constexpr int kScale = 1 << kLinearShift;
    const int dstGuess = static_cast<int>((1.0 - opacity) * kScale);
    const int srcGuess = static_cast<int>(opacity * kScale);
    // The truncations of the double sums wobble near whole numbers, so a few weights around
    // the exact ones are tried; the bias range that fits every entry decides.
    for (int dstStep : {0, 1, -1, 2, -2}) {
        for (int srcStep : {0, 1, -1, 2, -2}) {
            const int dw = dstGuess + dstStep;
            const int sw = srcGuess + srcStep;
            if (dw < 0 || sw < 0) {
                continue;
            }
            int low = 0;
            int high = 65535 - 31 * (dw + sw);
            for (int i = 0; i < kEntries && low <= high; ++i) {
                const int m = static_cast<std::int16_t>(mixBlue[i]);
                const int v = (i >> 5) * dw + (i & 31) * sw;
                low = std::max(low, m * kScale - v);
                high = std::min(high, (m + 1) * kScale - 1 - v);
            }
            if (low <= high) {
                linear = true;
                dstWeight = static_cast<std::uint16_t>(dw);
                srcWeight = static_cast<std::uint16_t>(sw);
                bias = static_cast<std::uint16_t>(low);
                return;
            }
        }
    }
}

} // namespace qx
