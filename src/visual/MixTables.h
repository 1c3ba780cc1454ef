#pragma once

#include <cstdint>

namespace qx {

// Mixing of 5-bit channels at one opacity, indexed by d * 32 + s (destination, source):
// m = (1 - opacity) * d + s * opacity truncated, shifted to its channel's place.
struct MixTables {
    static constexpr int kEntries = 32 * 32;

    explicit MixTables(double initialOpacity = 1.0) { build(initialOpacity); }
    void build(double newOpacity);

    double opacity = 1.0;
    std::uint16_t mixRed[kEntries];
    std::uint16_t mixGreen[kEntries];
    std::uint16_t mixBlue[kEntries];
};

} // namespace qx
