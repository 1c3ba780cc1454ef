// The value types every subsystem uses; their layouts are part of the host contract.
#pragma once

#include "core/PointArrays.h"
#include "qx/geometry.h"

namespace qx {

// Positions and sizes come from the data and may lie anywhere in 32 bits, so sums of them
// are written saturated(wide(a) + b - c): formed in 64 bits, then brought back into range.
constexpr std::int64_t wide(std::int32_t value) { return value; }

// A double truncated toward zero to a pixel count; beyond 32 bits it sticks at the nearer
// end of the range, and a value that is no number gives 0.
constexpr std::int32_t truncated(double value) {
    if (!(value == value)) {
        return 0;
    }
    return value >= 2147483647.0    ? INT32_MAX
           : value <= -2147483648.0 ? INT32_MIN
                                    : static_cast<std::int32_t>(value);
}

} // namespace qx
