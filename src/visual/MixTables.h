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

    // When (d * dstWeight + s * srcWeight + bias) >> kLinearShift gives every entry's m (all
    // within 16 bits), the draw computes that instead of looking up, many pixels at a time.
    // It is checked against the whole table, so it never gives another pixel.
    static constexpr int kLinearShift = 10;
    bool linear = false;
    std::uint16_t dstWeight = 0;
    std::uint16_t srcWeight = 0;
    std::uint16_t bias = 0;

private:
    void findLinearForm();
};

} // namespace qx
