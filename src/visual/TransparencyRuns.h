#pragma once

#include <cstdint>

#include "qx/bitmap.h"
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

    // The opaque spans row by row, derived from the pairs once they are encoded, so that
    // drawing jumps straight to a row and never walks transparent pairs. Row r's first span
    // is rows[r] (n = 0 when the row has none); its further spans, each x << 16 | n, are
    // extras[rows[r].extras] up to extras[rows[r + 1].extras]. Null rows when pairs were
    // appended from outside, which may not add up to the width row by row.
    struct RowSpan {
        std::uint16_t x;
        std::uint16_t n;
        std::uint32_t extras;
    };
    struct Spans {
        RowSpan* rows = nullptr; // height + 1 entries
        std::uint32_t* extras = nullptr;
        std::int32_t width = 0;
    };
    const Spans& spans() const { return spans_; }

    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t count = 0;

private:
    template <int kBytes> void encodeRows(const RowBlock& rows, std::uint32_t key);
    void push(std::uint32_t transparent, std::uint32_t opaque);
    void buildSpans();
    void dropSpans();

    std::uint32_t* entries_ = nullptr;
    Spans spans_;
};

} // namespace qx
