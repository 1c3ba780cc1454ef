#include "visual/TransparencyRuns.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/Platform.h"

namespace qx {

namespace {

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

// Rows drawn from their first to their last pixel, when each row's pairs add up to exactly
// the width (always so for runs encoded from this bitmap): the pairs are walked as they are,
// without the cursor's bookkeeping. Copies never pass the row's end.
void copyWholeRows(const TransparencyRuns& runs, std::int32_t firstRow, std::int32_t rows,
                   std::uint8_t* screenRow, std::int32_t screenPitch,
                   const std::uint8_t* pictureRow, std::int32_t picturePitch) {
    // Plain locals and an end pointer: few enough live values that nothing is reloaded from
    // memory around the copies.
    const std::uint32_t* pair = runs.entries();
    const std::uint32_t* const end = pair + runs.count;
    const std::int32_t w = runs.width;
    for (std::int64_t skipped = 0, wanted = std::int64_t{firstRow} * w;
         skipped < wanted && pair != end; ++pair) {
        skipped += (*pair >> 16) + (*pair & 0xFFFFu);
    }
    for (std::int32_t row = 0; row < rows && pair != end; ++row) {
        auto* d = reinterpret_cast<std::uint16_t*>(screenRow);
        const auto* s = reinterpret_cast<const std::uint16_t*>(pictureRow);
        std::int32_t x = 0;
        while (x < w && pair != end) {
            const std::uint32_t counts = *pair++;
            x += static_cast<std::int32_t>(counts >> 16);
            const std::int32_t copy = std::min(static_cast<std::int32_t>(counts & 0xFFFFu), w - x);
            if (copy > 0) {
                std::memcpy(d + x, s + x, static_cast<std::size_t>(copy) * 2);
                x += copy;
            }
        }
        screenRow += screenPitch;
        pictureRow += picturePitch;
    }
}

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
        const std::uint8_t* p = rows.address + row * rows.pitch;
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
                append(t, o);
                t = 1;
                o = 0;
                opaque = false;
            }
        }
        append(t, o);
    }
}

TransparencyRuns::~TransparencyRuns() { std::free(entries_); }

void TransparencyRuns::append(std::uint32_t transparent, std::uint32_t opaque) {
    auto* grown = static_cast<std::uint32_t*>(
        std::realloc(entries_, sizeof(std::uint32_t) * static_cast<std::size_t>(count + 1)));
    if (grown == nullptr) {
        // A cursor without its runs cannot be drawn; the game gives up quietly.
        platform::exitProcess(0);
    }
    entries_ = grown;
    entries_[count++] = (transparent << 16) | (opaque & 0xFFFFu);
}

void drawKeyed(Canvas* canvas, std::int32_t x, std::int32_t y, Bitmap* bitmap,
               const TransparencyRuns* runs, Rect source) {
    if (canvas == nullptr || bitmap == nullptr || runs == nullptr) {
        return;
    }
    const Rect placed(x + canvas->origin.x, y + canvas->origin.y, source.width, source.height);
    const Rect visible = placed.intersect(canvas->clip);
    if (visible.isEmpty()) {
        return;
    }
    const std::int32_t sx = source.x + visible.x - placed.x;
    const std::int32_t sy = source.y + visible.y - placed.y;

    // visible is in surface coordinates; the canvas adds its origin back when locking.
    RowBlock* screen = canvas->lockRows(visible.y - canvas->origin.y,
                                        visible.y - canvas->origin.y + visible.height - 1);
    RowBlock* picture = bitmap->lockRows(sy, sy + visible.height - 1);
    if (screen != nullptr && screen->bitsPerPixel >= 16 && picture != nullptr &&
        picture->bitsPerPixel >= 16 && runs->count > 0) {
        const std::int32_t w = bitmap->description.width;
        std::uint8_t* screenRow = screen->address + (visible.x - canvas->origin.x) * 2;
        const std::uint8_t* pictureRow = picture->address + sx * 2;
        if (sx == 0 && visible.width == w && runs->width == w && w <= 0xFFFF) {
            copyWholeRows(*runs, sy, visible.height, screenRow, screen->pitch, pictureRow,
                          picture->pitch);
            bitmap->unlockRows(picture);
            canvas->unlockRows(screen);
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
                    std::memcpy(d, s, static_cast<std::size_t>(copy) * 2);
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
    canvas->unlockRows(screen);
}

} // namespace qx
