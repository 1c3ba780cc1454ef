#include "visual/TransparencyRuns.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "core/Geometry.h"
#include "core/Memory.h"
#include "visual/RowCopy.inl"

namespace qx {

namespace {

using rowcopy::copyRun;

template <int kBytes> std::uint32_t pixelAt(const std::uint8_t* p) {
    if constexpr (kBytes == 2) {
        return static_cast<std::uint32_t>(p[0] | (p[1] << 8));
    } else {
        return static_cast<std::uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16));
    }
}

// The position in the runs while drawing: t and o are what is left of the current pair.
// Past the last pair everything counts as transparent, so a picture that does not match
// its runs never reads beyond them.
struct RunCursor {
    const std::uint32_t* pairs;
    std::int32_t count;
    std::int32_t next = 0;
    std::int32_t t = 0;
    std::int32_t o = 0;

    void load() {
        if (next < count) {
            t = static_cast<std::int32_t>(pairs[next] >> 16);
            o = static_cast<std::int32_t>(pairs[next] & 0xFFFFu);
            ++next;
        } else {
            t = INT_MAX;
            o = 0;
        }
    }

    void advance(std::int64_t n) {
        for (;;) {
            const std::int64_t fromT = std::min<std::int64_t>(n, t);
            t -= static_cast<std::int32_t>(fromT);
            n -= fromT;
            const std::int64_t fromO = std::min<std::int64_t>(n, o);
            o -= static_cast<std::int32_t>(fromO);
            n -= fromO;
            if (n == 0) {
                break;
            }
            load();
        }
        if (t == 0 && o == 0) {
            load();
        }
    }
};

// Copies the opaque spans of rows firstRow to firstRow + rows - 1 that fall within picture
// columns left to left + columns - 1; screenRow and pictureRow address column `left`.
template <void (*copyRun)(std::uint16_t*, const std::uint16_t*, std::int32_t)>
void copySpans(const TransparencyRuns::Spans& spans, std::int32_t firstRow, std::int32_t rows,
               std::int32_t left, std::int32_t columns, std::uint8_t* screenRow,
               std::int32_t screenPitch, const std::uint8_t* pictureRow,
               std::int32_t picturePitch) {
    const TransparencyRuns::RowSpan* row = spans.rows + firstRow;
    const TransparencyRuns::RowSpan* const end = row + rows;
    if (left == 0 && columns == spans.width) {
        // Nothing is clipped: each row is its first span and, rarely, a few more.
        for (; row != end; ++row) {
            auto* d = reinterpret_cast<std::uint16_t*>(screenRow);
            const auto* s = reinterpret_cast<const std::uint16_t*>(pictureRow);
            copyRun(d + row->x, s + row->x, row->n);
            for (std::uint32_t i = row->extras; i < row[1].extras; ++i) {
                const std::uint32_t span = spans.extras[i];
                const auto x = static_cast<std::int32_t>(span >> 16);
                copyRun(d + x, s + x, static_cast<std::int32_t>(span & 0xFFFFu));
            }
            screenRow += screenPitch;
            pictureRow += picturePitch;
        }
        return;
    }
    const std::int32_t right = left + columns;
    const auto clipped = [left, right](std::uint16_t* d, const std::uint16_t* s, std::int32_t x,
                                       std::int32_t n) {
        const std::int32_t from = std::max(x, left);
        const std::int32_t to = std::min(x + n, right);
        if (from < to) {
            copyRun(d + (from - left), s + (from - left), to - from);
        }
    };
    for (; row != end; ++row) {
        auto* d = reinterpret_cast<std::uint16_t*>(screenRow);
        const auto* s = reinterpret_cast<const std::uint16_t*>(pictureRow);
        clipped(d, s, row->x, row->n);
        for (std::uint32_t i = row->extras; i < row[1].extras; ++i) {
            const std::uint32_t span = spans.extras[i];
            clipped(d, s, static_cast<std::int32_t>(span >> 16),
                    static_cast<std::int32_t>(span & 0xFFFFu));
        }
        screenRow += screenPitch;
        pictureRow += picturePitch;
    }
}

#if defined(QX_AVX2_PATHS)
__attribute__((target("avx2"), flatten)) void
copySpansWide(const TransparencyRuns::Spans& spans, std::int32_t firstRow, std::int32_t rows,
              std::int32_t left, std::int32_t columns, std::uint8_t* screenRow,
              std::int32_t screenPitch, const std::uint8_t* pictureRow, std::int32_t picturePitch) {
    copySpans<rowcopy::copyRunWide>(spans, firstRow, rows, left, columns, screenRow, screenPitch,
                                    pictureRow, picturePitch);
}
#endif

} // namespace

TransparencyRuns::TransparencyRuns(Bitmap* bitmap, Colour key) {
    if (bitmap == nullptr) {
        return;
    }
    width = bitmap->description.width;
    height = bitmap->description.height;
    const std::int32_t depth = bitmap->description.bitsPerPixel;
    RowBlock* rows = bitmap->lockRows(0, height - 1);
    if (rows == nullptr) {
        return;
    }
    if (depth == 16) {
        // The key's components are placed as they are, not reduced from 8 bits.
        const auto key16 =
            static_cast<std::uint32_t>((key.red << 11) | ((key.green & 63) << 5) | (key.blue & 31));
        encodeRows<2>(*rows, key16);
    } else if (depth == 24) {
        encodeRows<3>(*rows, key.pixelValue(bitmap->description.format));
    }
    bitmap->unlockRows(rows);
}

template <int kBytes> void TransparencyRuns::encodeRows(const RowBlock& rows, std::uint32_t key) {
    for (std::int32_t row = 0; row < height; ++row) {
        const std::uint8_t* p = rows.address + wide(row) * rows.pitch;
        std::uint32_t t = 0;
        std::uint32_t o = 0;
        bool opaque = false;
        for (std::int32_t x = 0; x < width; ++x, p += kBytes) {
            const bool isKey = pixelAt<kBytes>(p) == key;
            if (!opaque) {
                if (isKey) {
                    ++t;
                } else {
                    opaque = true;
                    ++o;
                }
            } else if (!isKey) {
                ++o;
            } else {
                push(t, o);
                t = 1;
                o = 0;
                opaque = false;
            }
        }
        push(t, o);
    }
    // Counts wider than 16 bits lose their high bits, so such rows would not add up.
    if (width <= 0xFFFF) {
        buildSpans();
    }
}

void TransparencyRuns::buildSpans() {
    // Two passes over the pairs: count the spans past each row's first, then place them.
    std::uint32_t extraCount = 0;
    for (std::int32_t i = 0, x = 0, spansInRow = 0; i < count; ++i) {
        const std::uint32_t o = entries_[i] & 0xFFFFu;
        x += static_cast<std::int32_t>((entries_[i] >> 16) + o);
        if (o != 0 && ++spansInRow > 1) {
            ++extraCount;
        }
        if (x >= width) {
            x = 0;
            spansInRow = 0;
        }
    }
    auto* rows = static_cast<RowSpan*>(
        allocateBlock(sizeof(RowSpan) * (static_cast<std::size_t>(height) + 1)));
    auto* extras = static_cast<std::uint32_t*>(
        allocateBlock(sizeof(std::uint32_t) * (static_cast<std::size_t>(extraCount) + 1)));
    if (rows == nullptr || extras == nullptr) {
        // Drawing falls back to walking the pairs.
        releaseBlock(rows);
        releaseBlock(extras);
        return;
    }
    std::memset(rows, 0, sizeof(RowSpan) * (static_cast<std::size_t>(height) + 1));
    std::uint32_t placed = 0;
    std::int32_t i = 0;
    for (std::int32_t row = 0; row < height; ++row) {
        rows[row].extras = placed;
        bool first = true;
        for (std::int32_t x = 0; x < width && i < count; ++i) {
            x += static_cast<std::int32_t>(entries_[i] >> 16);
            const auto o = static_cast<std::uint16_t>(entries_[i] & 0xFFFFu);
            if (o == 0) {
                continue;
            }
            if (first) {
                rows[row].x = static_cast<std::uint16_t>(x);
                rows[row].n = o;
                first = false;
            } else {
                extras[placed++] = (static_cast<std::uint32_t>(x) << 16) | o;
            }
            x += o;
        }
    }
    rows[height].extras = placed;
    spans_ = Spans{rows, extras, width};
}

TransparencyRuns::~TransparencyRuns() {
    dropSpans();
    releaseBlock(entries_);
}

void TransparencyRuns::dropSpans() {
    releaseBlock(spans_.rows);
    releaseBlock(spans_.extras);
    spans_ = Spans{};
}

void TransparencyRuns::append(std::uint32_t transparent, std::uint32_t opaque) {
    // Pairs added from outside may not add up to the width row by row.
    dropSpans();
    push(transparent, opaque);
}

void TransparencyRuns::push(std::uint32_t transparent, std::uint32_t opaque) {
    entries_ = static_cast<std::uint32_t*>(
        resizeVitalBlock(entries_, sizeof(std::uint32_t) * static_cast<std::size_t>(count + 1)));
    entries_[count++] = (transparent << 16) | (opaque & 0xFFFFu);
}

void drawKeyed(Canvas* canvas, std::int32_t x, std::int32_t y, Bitmap* bitmap,
               const TransparencyRuns* runs, Rect source) {
    if (canvas == nullptr || bitmap == nullptr || runs == nullptr) {
        return;
    }
    const Rect placed(saturated(wide(x) + canvas->origin.x), saturated(wide(y) + canvas->origin.y),
                      source.width, source.height);
    const Rect visible = placed.intersect(canvas->clip);
    if (visible.isEmpty()) {
        return;
    }
    const std::int32_t sx = saturated(wide(source.x) + (visible.x - placed.x));
    const std::int32_t sy = saturated(wide(source.y) + (visible.y - placed.y));

    // visible is in surface coordinates: the origin is applied once, above.
    RowBlock* screen = canvas->lockSurfaceRows(visible.y, saturated(visible.bottom() - 1));
    RowBlock* picture = bitmap->lockRows(sy, sy + visible.height - 1);
    if (screen != nullptr && screen->bitsPerPixel >= 16 && picture != nullptr &&
        picture->bitsPerPixel >= 16 && runs->count > 0) {
        const std::int32_t w = bitmap->description.width;
        std::uint8_t* screenRow = screen->address + wide(visible.x) * 2;
        const std::uint8_t* pictureRow = picture->address + sx * 2;
        const TransparencyRuns::Spans& spans = runs->spans();
        if (spans.rows != nullptr && runs->width == w && sy + visible.height <= runs->height) {
#if defined(QX_AVX2_PATHS)
            if (vectorPath() == VectorPath::avx2) {
                copySpansWide(spans, sy, visible.height, sx, visible.width, screenRow,
                              screen->pitch, pictureRow, picture->pitch);
            } else
#endif
            {
                copySpans<copyRun>(spans, sy, visible.height, sx, visible.width, screenRow,
                                   screen->pitch, pictureRow, picture->pitch);
            }
            bitmap->unlockRows(picture);
            canvas->unlockSurfaceRows(screen);
            return;
        }
        RunCursor cursor{runs->entries(), runs->count};
        cursor.load();
        cursor.advance(static_cast<std::int64_t>(sy) * w + sx);
        for (std::int32_t row = 0; row < visible.height; ++row) {
            auto* d = reinterpret_cast<std::uint16_t*>(screenRow);
            const auto* s = reinterpret_cast<const std::uint16_t*>(pictureRow);
            // The counts live in locals while a row is walked: kept in the cursor, they were
            // stored and reloaded around every copy.
            std::int32_t t = cursor.t;
            std::int32_t o = cursor.o;
            std::int32_t r = visible.width;
            while (r > 0) {
                const std::int32_t skip = std::min(t, r);
                d += skip;
                s += skip;
                t -= skip;
                r -= skip;
                const std::int32_t copy = std::min(o, r);
                if (copy > 0) {
                    copyRun(d, s, copy);
                    d += copy;
                    s += copy;
                    o -= copy;
                    r -= copy;
                }
                if (t == 0 && o == 0) {
                    cursor.load();
                    t = cursor.t;
                    o = cursor.o;
                }
            }
            cursor.t = t;
            cursor.o = o;
            if (w != visible.width) {
                cursor.advance(w - visible.width);
            }
            screenRow += screen->pitch;
            pictureRow += picture->pitch;
        }
    }
    bitmap->unlockRows(picture);
    canvas->unlockSurfaceRows(screen);
}

} // namespace qx
