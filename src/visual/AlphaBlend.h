// The alpha image's blend of picture rows into screen rows, on the widest path the processor
// offers. Every path gives each pixel exactly what the six tables give.
#pragma once

#include <cstdint>

#include "visual/BlendTables.h"
#include "visual/DrawArea.h"

namespace qx {

// Rows of one blend, each from the first pixel used in its first row.
struct BlendSpan {
    PixelRows screen;
    PixelRows alpha;
    PixelRows colour; // no rows: blend white by the alpha (a mask)
    std::int32_t width;
    std::int32_t height;
};

// copyOpaque: the colour pixels have bit 15 clear, so that where alpha 255 copies, the
// picture's rows can be moved as they are.
void blendAlphaRows(const BlendTables& tables, const BlendSpan& span, bool copyOpaque);

} // namespace qx
