// The keyed draw: the opaque pixels of picture rows, as the picture's transparency runs give
// them, copied to screen rows on the widest path the processor offers.
#include <algorithm>
#include <climits>

#include "visual/DrawArea.h"
#include "visual/KeyedImage.h"
#include "visual/RowCopy.inl"
#include "visual/VectorPath.h"

namespace qx {

namespace {

using CopyRun = void (*)(std::uint16_t*, const std::uint16_t*, std::int32_t);

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

// Copies through the span table: each row's spans are found at once, whatever lies before.
// The rows and the part come by value: copies through references would be reloaded after
// every store of pixels, which may alias them.
template <CopyRun copyRun>
void copySpans(const TransparencyRuns::Spans& spans, Rect part, PixelRows screen,
               PixelRows picture) {
    std::uint8_t* screenRow = screen.first;
    const std::uint8_t* pictureRow = picture.first;
    const TransparencyRuns::RowSpan* row = spans.rows + part.y;
    const TransparencyRuns::RowSpan* const end = row + part.height;
    if (part.x == 0 && part.width == spans.width) {
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
            screenRow += screen.pitch;
            pictureRow += picture.pitch;
        }
        return;
    }
    const std::int32_t left = part.x;
    const std::int32_t right = part.x + part.width;
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
        screenRow += screen.pitch;
        pictureRow += picture.pitch;
    }
}

// The paths are called, not inlined, from drawKeyed: inlined, their set-up made the start
// that every keyed draw runs as long as a whole path's.
__attribute__((noinline)) void copySpansNarrow(const TransparencyRuns::Spans& spans, Rect part,
                                               PixelRows screen, PixelRows picture) {
    copySpans<rowcopy::copyRun>(spans, part, screen, picture);
}

#if defined(QX_AVX2_PATHS)
__attribute__((target("avx2"), flatten, noinline)) void
copySpansWide(const TransparencyRuns::Spans& spans, Rect part, PixelRows screen,
              PixelRows picture) {
    copySpans<rowcopy::copyRunWide>(spans, part, screen, picture);
}
#endif

// Copies by walking the pairs from the first, for runs without a span table.
__attribute__((noinline)) void walkPairs(const TransparencyRuns& runs, std::int32_t width,
                                         Rect part, PixelRows screen, PixelRows picture) {
    std::uint8_t* screenRow = screen.first;
    const std::uint8_t* pictureRow = picture.first;
    RunCursor cursor{runs.entries(), runs.count};
    cursor.load();
    cursor.advance(static_cast<std::int64_t>(part.y) * width + part.x);
    for (std::int32_t row = 0; row < part.height; ++row) {
        auto* d = reinterpret_cast<std::uint16_t*>(screenRow);
        const auto* s = reinterpret_cast<const std::uint16_t*>(pictureRow);
        // The counts live in locals while a row is walked: kept in the cursor, they were
        // stored and reloaded around every copy.
        std::int32_t t = cursor.t;
        std::int32_t o = cursor.o;
        std::int32_t r = part.width;
        while (r > 0) {
            const std::int32_t skip = std::min(t, r);
            d += skip;
            s += skip;
            t -= skip;
            r -= skip;
            const std::int32_t copy = std::min(o, r);
            if (copy > 0) {
                rowcopy::copyRun(d, s, copy);
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
        if (width != part.width) {
            cursor.advance(width - part.width);
        }
        screenRow += screen.pitch;
        pictureRow += picture.pitch;
    }
}

} // namespace

void drawKeyed(Canvas* canvas, std::int32_t x, std::int32_t y, Bitmap* bitmap,
               const TransparencyRuns* runs, Rect source) {
    if (canvas == nullptr || bitmap == nullptr || runs == nullptr) {
        return;
    }
    const DrawArea area = placeDraw(*canvas, Point(x, y), source, canvas->clip);
    if (area.isEmpty()) {
        return;
    }
    DrawLocks locks(*canvas, area);
    const PixelRows screen = locks.screen();
    const PixelRows picture = locks.picture(bitmap, 16);
    if (!locks.ready() || runs->count == 0) {
        return;
    }
    const std::int32_t width = bitmap->description.width;
    const Rect part = area.drawnPart();
    const TransparencyRuns::Spans& spans = runs->spans();
    if (spans.rows == nullptr || runs->width != width || part.bottom() > runs->height) {
        walkPairs(*runs, width, part, screen, picture);
        return;
    }
#if defined(QX_AVX2_PATHS)
    if (vectorPath() == VectorPath::avx2) {
        copySpansWide(spans, part, screen, picture);
        return;
    }
#endif
    copySpansNarrow(spans, part, screen, picture);
}

} // namespace qx
