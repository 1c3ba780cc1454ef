#pragma once

#include <cstdint>

#include "qx/bitmap.h"
#include "qx/canvas.h"
#include "qx/geometry.h"

namespace qx {

// A picture's transparency encoded row after row as pairs: transparent count in the high
// 16 bits, opaque count in the low 16 bits. Each row's pairs cover exactly `width` pixels;
// nothing marks where a row ends.
class TransparencyRuns {
public:
    // Encodes 16- and 24-bit pictures; any other depth gives no runs.
    TransparencyRuns(Bitmap* bitmap, Colour key);
    TransparencyRuns(const TransparencyRuns&) = delete;
    TransparencyRuns& operator=(const TransparencyRuns&) = delete;
    ~TransparencyRuns();

    void append(std::uint32_t transparent, std::uint32_t opaque);
    const std::uint32_t* entries() const { return entries_; }

    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t count = 0;

private:
    template <int kBytes> void encodeRows(const RowBlock& rows, std::uint32_t key);

    std::uint32_t* entries_ = nullptr;
};

// Draws the source rectangle of a 16-bit bitmap at (x, y) plus the canvas origin, clipped,
// copying only the opaque runs.
void drawKeyed(Canvas* canvas, std::int32_t x, std::int32_t y, Bitmap* bitmap,
               const TransparencyRuns* runs, Rect source);

} // namespace qx
