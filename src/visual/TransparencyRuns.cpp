#include "visual/TransparencyRuns.h"

#include <cstring>

#include "core/Geometry.h"
#include "core/Memory.h"

namespace qx {

namespace {

template <int kBytes> std::uint32_t pixelAt(const std::uint8_t* p) {
    if constexpr (kBytes == 2) {
        return static_cast<std::uint32_t>(p[0] | (p[1] << 8));
    } else {
        return static_cast<std::uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16));
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
        // The contract packs the key's components as they are: not reduced from 8 bits,
        // red not masked.
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
    // The contract wants the process ended, not the runs cut, when they cannot grow.
    entries_ = static_cast<std::uint32_t*>(
        resizeVitalBlock(entries_, sizeof(std::uint32_t) * static_cast<std::size_t>(count + 1)));
    entries_[count++] = (transparent << 16) | (opaque & 0xFFFFu);
}

} // namespace qx
