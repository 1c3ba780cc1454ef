// The keyed draw's copies: the opaque pixels of picture rows, as the picture's transparency
// runs give them, to screen rows, on the widest path the processor offers.
#pragma once

#include <cstdint>

#include "visual/DrawArea.h"
#include "visual/TransparencyRuns.h"

namespace qx {

// Copies the opaque pixels of `part` of a 16-bit picture `width` pixels wide; `screen` and
// `picture` start at the part's top-left pixel.
void copyOpaqueRuns(const TransparencyRuns& runs, std::int32_t width, const Rect& part,
                    const PixelRows& screen, const PixelRows& picture);

} // namespace qx
