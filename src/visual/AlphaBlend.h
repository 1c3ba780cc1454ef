// The alpha image's blend of picture rows into screen rows, on the widest path the processor
// offers. Every path gives each pixel exactly what the six tables give.
#pragma once

#include <cstdint>

#include "visual/BlendTables.h"

namespace qx {

// Rows of one blend: each pointer is at the first pixel used in its first row.
struct BlendSpan {
    std::uint8_t* screen;
    std::int32_t screenPitch;
    const std::uint8_t* alpha;
    std::int32_t alphaPitch;
    const std::uint8_t* colour; // null: blend white by the alpha (a mask)
    std::int32_t colourPitch;
    std::int32_t width;
    std::int32_t height;
};

// copyOpaque: the colour pixels have bit 15 clear, so that where alpha 255 copies, the
// picture's rows can be moved as they are.
void blendAlphaRows(const BlendTables& tables, const BlendSpan& span, bool copyOpaque);

} // namespace qx
